// The map's picture cache: decoded once, failures remembered, the least
// recently drawn dropped over the budget, and a changed file read again.

#include <gtest/gtest.h>

#include <QImage>

#include "FakePictureService.h"
#include "PictureCache.h"

using namespace qel::platform;

namespace {

TEST(PictureCacheTest, KeepsWithinBudgetAndFollowsFiles)
{
    FakePictureService service;
    QMap<QString, FileStamp> stamps;
    PictureCache cache(service, [&](const QString& path) { return stamps.value(path); });
    QImage big(64, 64, QImage::Format_ARGB32);  // 16 KiB as a cell
    big.fill(Qt::red);
    for (const char* name : {"a.png", "b.png", "c.png"})
        service.pictures.insert(QString::fromLatin1(name), big);
    service.failures.insert(QStringLiteral("bad.png"), "Bitmap image is not valid");
    cache.setBudget(2 * 64 * 64 * 4);
    auto loads = [&](const char* name) {
        return service.calls.count(QStringLiteral("load ") + QString::fromLatin1(name));
    };

    EXPECT_EQ(cache.cell(QStringLiteral("a.png"), 4, 2).size(), QSize(16, 32));
    EXPECT_EQ(cache.cell(QStringLiteral("a.png"), 4, 2).size(), QSize(16, 32));
    EXPECT_EQ(loads("a.png"), 1) << "decoded once";
    EXPECT_TRUE(cache.cell(QStringLiteral("bad.png"), 0, 0).isNull());
    EXPECT_TRUE(cache.cell(QStringLiteral("gone.png"), 0, 0).isNull());
    cache.cell(QStringLiteral("bad.png"), 0, 0);
    EXPECT_EQ(loads("bad.png"), 1) << "a failure is remembered";

    cache.cell(QStringLiteral("b.png"), 0, 0);
    cache.cell(QStringLiteral("a.png"), 4, 2);  // drawn again: b is now the oldest picture
    cache.cell(QStringLiteral("c.png"), 0, 0);
    EXPECT_LE(cache.bytes(), cache.budget());
    cache.cell(QStringLiteral("c.png"), 0, 0);
    cache.cell(QStringLiteral("b.png"), 0, 0);
    EXPECT_EQ(loads("b.png"), 2) << "the least recently drawn was dropped";
    EXPECT_EQ(loads("c.png"), 1);

    EXPECT_TRUE(cache.scaledCell(QStringLiteral("c.png"), 0, 0, 12, 64.0).isNull()) << "too large to keep scaled";
    EXPECT_EQ(cache.scaledCell(QStringLiteral("c.png"), 0, 0, -4, 0.5).size(), QSize(32, 32));

    stamps.insert(QStringLiteral("c.png"), FileStamp{10, 1});
    cache.refresh();
    cache.cell(QStringLiteral("c.png"), 0, 0);
    EXPECT_EQ(loads("c.png"), 2) << "a changed file is read again";
    cache.reload();
    EXPECT_EQ(cache.bytes(), 0);
    cache.cell(QStringLiteral("bad.png"), 0, 0);
    EXPECT_EQ(loads("bad.png"), 2) << "Reload Pictures asks again";
}

}  // namespace
