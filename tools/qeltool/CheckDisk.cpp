#include "tools/qeltool/CheckDisk.h"

#include <sys/stat.h>

#include <new>

#ifdef QELTOOL_PICTURES
#include <dlfcn.h>
#include <unistd.h>

#include <climits>

#include "tools/qeltool/PictureDecoder.h"
#endif

namespace qeltool {

bool CheckDisk::fileExists(const std::string& path)
{
    // A folder is no file to pack, even when a name points at one.
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

bool CheckDisk::isFolder(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

#ifdef QELTOOL_PICTURES

namespace {

// The folder of this program, with a slash at its end; empty when unknown.
std::string ProgramFolder()
{
    char path[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path);
    if (length <= 0 || static_cast<std::size_t>(length) >= sizeof path)
        return {};
    const std::string program(path, static_cast<std::size_t>(length));
    return program.substr(0, program.rfind('/') + 1);
}

// The decoder, loaded on the first picture; the message of the failure when
// it cannot be.
struct Decoder {
    QelToolDecodePictureFunction decode = nullptr;
    std::string failure;
};

Decoder LoadDecoder()
{
    Decoder decoder;
    const std::string folder = ProgramFolder();
    // Beside the program in the build tree, where installing puts it otherwise.
    for (const std::string& candidate : {folder + QELTOOL_PICTURES_MODULE, folder + QELTOOL_PICTURES_INSTALLED}) {
        void* module = ::dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (module == nullptr) {
            // The installed place's failure is the one worth telling.
            decoder.failure = ::dlerror();
            continue;
        }
        decoder.decode = reinterpret_cast<QelToolDecodePictureFunction>(::dlsym(module, kQelToolDecodePictureSymbol));
        if (decoder.decode != nullptr)
            return decoder;
        decoder.failure = ::dlerror();
    }
    decoder.failure = "the picture decoder cannot be loaded: " + decoder.failure;
    return decoder;
}

}  // namespace

bool CheckDisk::decodesPictures()
{
    return true;
}

qel::PictureFacts CheckDisk::picture(const std::string& path)
{
    qel::PictureFacts facts;
    // The decoder opens the file as it stands: a FIFO would hold the check
    // there until something wrote to it, a device could feed it for ever.
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
        facts.error = path + " is not a regular file";
        return facts;
    }
    static const Decoder decoder = LoadDecoder();
    // Without its decoder no picture counts as good.
    if (decoder.decode == nullptr)
        facts.error = decoder.failure;
    else
        decoder.decode(path, facts);
    return facts;
}

#else

bool CheckDisk::decodesPictures()
{
    return false;
}

qel::PictureFacts CheckDisk::picture(const std::string&)
{
    qel::PictureFacts facts;
    facts.checked = false;
    return facts;
}

#endif

}  // namespace qeltool
