#pragma once
// A picture service for tests: pictures and failures by path, and a log of
// the calls. A path it knows neither as a picture nor as a failure is a
// missing file ("File not found").

#include <QMap>
#include <QStringList>
#include <cerrno>
#include <string>

#include "core/Errors.h"
#include "platform/PictureService.h"

namespace qel::platform {

class FakePictureService : public PictureService {
public:
    QMap<QString, QImage> pictures;
    // The message thrown (as qel::MessageError) for a path.
    QMap<QString, std::string> failures;
    // "load PATH", "loadBitmap PATH", "bitmapSize PATH", in call order.
    QStringList calls;

    QImage load(const QString& path) override { return find(QStringLiteral("load "), path); }
    QImage loadBitmap(const QString& path) override { return find(QStringLiteral("loadBitmap "), path); }
    QSize bitmapSize(const QString& path) override { return find(QStringLiteral("bitmapSize "), path).size(); }

private:
    QImage find(const QString& call, const QString& path)
    {
        calls << call + path;
        if (const auto failure = failures.constFind(path); failure != failures.cend())
            throw MessageError(*failure);
        if (const auto picture = pictures.constFind(path); picture != pictures.cend())
            return *picture;
        throw FileError(ENOENT);
    }
};

}  // namespace qel::platform
