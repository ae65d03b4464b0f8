// Hostile inputs at small sizes, each with what it must give: the full sizes
// are the hostile inputs benchmark's.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QItemSelectionModel>
#include <QTemporaryDir>
#include <functional>
#include <string>

#include "app/DocumentSession.h"
#include "app/OutFileSteps.h"
#include "app/ProblemMonitor.h"
#include "app/ProblemPictures.h"
#include "core/Errors.h"
#include "platform/FileNameText.h"
#include "platform/FileOperations.h"
#include "platform/PictureCache.h"
#include "platform/PictureService.h"
#include "ui/MapCanvas.h"
#include "ui/ObjectListModel.h"

using namespace qel;

namespace {

struct Hostile {
    QTemporaryDir dir;
    app::DocumentSession session;

    std::string path(const char* name) const { return FileNameBytes(dir.filePath(QString::fromLatin1(name))); }
    void write(const char* name, const std::string& bytes) const
    {
        QFile out(dir.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(bytes.data(), static_cast<qint64>(bytes.size()));
    }
    // What opening `text` as d.ini gives: the failure's message, or "".
    std::string open(const std::string& text)
    {
        write("d.ini", text);
        try {
            session.open(path("d.ini"));
        } catch (const Error& failure) {
            return failure.message();
        }
        return {};
    }
};

std::string Numbered(const char* before, int count, const char* after)
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += before + std::to_string(i) + after;
    return text;
}

TEST(HostileInputs, EachGivesWhatItMust)
{
    const std::string nuls(1 << 20, '\0');
    const struct {
        const char* what;
        std::function<std::string(Hostile&)> run;
        std::string gives;
    } cases[] = {
        {"300 pictures, each its own and arriving alone",
         [](Hostile& h) {
             QImage small(4, 4, QImage::Format_RGB32);
             small.fill(Qt::red);
             for (int i = 0; i < 300; ++i)
                 small.save(h.dir.filePath(QStringLiteral("p%1.bmp").arg(i)));
             std::string text = "OutFile=x\r\n[objectimages]\r\n";
             for (int i = 0; i < 300; ++i)
                 text += "IMAGE" + std::to_string(i) + "=p" + std::to_string(i) + ".bmp\r\n";
             text += "[mapobjects]\r\n" + Numbered("100,200,IMAGE", 300, ",AfterTiles,ShowAlways\r\n");
             h.open(text);
             ui::ObjectListModel model(h.session, ObjectKind::Map);
             QItemSelectionModel selection(&model);
             platform::QtPictureService service;
             platform::PictureCache cache(service);
             ui::MapCanvas canvas(h.session, selection, cache);
             int small4 = 0;
             // Images are looked up a slice at a time between events.
             for (int turn = 0; turn < 100 && small4 < 300; ++turn) {
                 canvas.index();
                 cache.waitForPictures();
                 QCoreApplication::processEvents();
                 small4 = 0;
                 for (std::size_t row = 0; row < 300; ++row)
                     small4 += canvas.index().rect(row).width == 4;
             }
             return std::to_string(small4) + " drawn 4 x 4";
         },
         "300 drawn 4 x 4"},
        {"2000 missing files, then made, typed over and looked at again",
         [](Hostile& h) {
             h.open("OutFile=x\r\n" + Numbered("File=f", 2000, "\r\n"));
             platform::QtPictureService service;
             app::ProblemPictures pictures(service);
             platform::QtFileOperations files;
             app::ProblemMonitor monitor(h.session, pictures, files, true);
             monitor.finishChecking();
             std::string counts = std::to_string(monitor.counts().errors);
             for (int i = 0; i < 2000; ++i)
                 h.write(("f" + std::to_string(i)).c_str(), "");
             h.session.push(std::make_unique<app::SetOutFileStep>(h.session, "xy"));
             monitor.finishChecking();
             counts += " " + std::to_string(monitor.counts().errors);
             monitor.rereadPictures();
             monitor.finishChecking();
             return counts + " " + std::to_string(monitor.counts().errors);
         },
         "2000 2000 0"},
        {"a field of a megabyte",
         [](Hostile& h) {
             const std::string message = h.open("[mapobjects]\r\n1," + std::string(1 << 20, '7') + "x,IMAGE0\r\n");
             return std::to_string(message.size()) + message.substr(message.size() - 50);
         },
         "2507... (1048577 bytes)' is not a valid integer value"},
        {"a megabyte of NULs after three lines",
         [&nuls](Hostile& h) {
             h.session.setKeepSourceLines(true);
             h.open("OutFile=x\r\n\r\nFile=a\r\n" + nuls);
             return std::to_string(h.session.sourceLines()->ignored.at(0).second.size());
         },
         "219"},
        {"a picture over 128 MiB decoded",
         [](Hostile& h) {
             QImage mono(8000, 8000, QImage::Format_Mono);
             mono.fill(1);
             mono.save(h.dir.filePath(QStringLiteral("big.png")));
             platform::QtPictureService service;
             const PictureFacts facts = app::ProblemPictures::Decode(service, h.path("big.png"));
             const QImage shown = service
                                      .loadWithin(h.dir.filePath(QStringLiteral("big.png")),
                                                  platform::kViewedPictureBytes, platform::kViewedPictureBytes / 4)
                                      .image;
             return std::to_string(facts.width) + " x " + std::to_string(facts.height) + (facts.decodable ? "" : " not")
                    + " decodable, shown " + std::to_string(shown.width());
         },
         "8000 x 8000 decodable, shown 2048"},
    };
    for (const auto& c : cases) {
        Hostile hostile;
        EXPECT_EQ(c.run(hostile), c.gives) << c.what;
    }
}

}  // namespace
