// The map's picture cache: decoded once, failures remembered, the least
// recently drawn dropped over the budget unless drawn in the last frames, a
// changed file read again; and with Qt's service, decoded beside the caller,
// a picture bomb scaled down and a FIFO refused.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <future>

#include "platform/BackgroundJobs.h"
#include "platform/PictureCache.h"
#include "tests/fakes/FakePictureService.h"

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
    // Each in a frame of its own, after one that drew nothing.
    auto draw = [&](const char* name) {
        cache.beginFrame();
        cache.beginFrame();
        return cache.cell(QString::fromLatin1(name), 0, 0);
    };

    EXPECT_EQ(cache.cell(QStringLiteral("a.png"), 4, 2).size(), QSize(16, 32));
    EXPECT_EQ(cache.look(QStringLiteral("a.png"), 4, 2).size, QSize(16, 32));
    EXPECT_EQ(loads("a.png"), 1) << "decoded once";
    EXPECT_TRUE(cache.cell(QStringLiteral("bad.png"), 0, 0).isNull());
    EXPECT_FALSE(cache.look(QStringLiteral("gone.png"), 0, 0).size.isValid());
    cache.cell(QStringLiteral("bad.png"), 0, 0);
    EXPECT_EQ(loads("bad.png"), 1) << "a failure is remembered";

    draw("b.png");
    draw("a.png");  // drawn again: b is now the oldest picture
    draw("c.png");
    EXPECT_LE(cache.bytes(), cache.budget());
    draw("c.png");
    draw("b.png");
    EXPECT_EQ(loads("b.png"), 2) << "the least recently drawn was dropped";
    EXPECT_EQ(loads("c.png"), 1);
    EXPECT_EQ(cache.look(QStringLiteral("a.png"), 0, 0).size, QSize(64, 64));
    EXPECT_EQ(loads("a.png"), 2) << "its size is kept: cut 4 x 2 once, whole once";

    cache.beginFrame();
    for (const char* name : {"a.png", "b.png", "c.png"})
        EXPECT_FALSE(cache.cell(QString::fromLatin1(name), 0, 0).isNull()) << name;
    EXPECT_GT(cache.bytes(), cache.budget()) << "one frame keeps all it draws";

    EXPECT_TRUE(cache.scaledCell(QStringLiteral("c.png"), 0, 0, 12, 64.0).isNull()) << "too large to keep scaled";
    EXPECT_EQ(cache.scaledCell(QStringLiteral("c.png"), 0, 0, -4, 0.5).size(), QSize(32, 32));

    stamps.insert(QStringLiteral("c.png"), FileStamp{10, 1});
    cache.refresh();
    cache.cell(QStringLiteral("c.png"), 0, 0);
    EXPECT_EQ(loads("c.png"), 3) << "a changed file is read again";
    cache.reload();
    EXPECT_EQ(cache.bytes(), 0);
    cache.cell(QStringLiteral("bad.png"), 0, 0);
    EXPECT_EQ(loads("bad.png"), 2) << "Reload Pictures asks again";
}

TEST(PictureCacheTest, DecodesBesideTheCallerNeverWholeOverTheLimit)
{
    QTemporaryDir dir;
    // One colour index over 5600 x 5600: 30 KB on disk, 120 MiB decoded whole.
    QImage bomb(5600, 5600, QImage::Format_Indexed8);
    bomb.setColorTable({qRgb(200, 40, 40)});
    bomb.fill(0);
    ASSERT_TRUE(bomb.save(dir.filePath(QStringLiteral("bomb.png"))));
    bomb = QImage();
    QImage small(40, 20, QImage::Format_RGB32);
    small.fill(Qt::blue);
    ASSERT_TRUE(small.save(dir.filePath(QStringLiteral("small.png"))));
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("pipe.png"))).constData(), 0600), 0);

    QtPictureService service;
    PictureCache cache(service);
    QSignalSpy arrived(&cache, &PictureCache::pictureArrived);
    const QString names[] = {QStringLiteral("bomb.png"), QStringLiteral("small.png"), QStringLiteral("pipe.png")};
    for (const QString& name : names)
        EXPECT_TRUE(cache.look(dir.filePath(name), 0, 0).waiting) << name.toStdString();
    cache.waitForPictures();
    EXPECT_EQ(arrived.count(), 3);

    const QString bombPath = dir.filePath(names[0]);
    EXPECT_TRUE(cache.look(bombPath, 2, 1).waiting) << "another cut is another decode";
    cache.waitForPictures();
    EXPECT_EQ(cache.look(bombPath, 2, 1).size, QSize(2800, 5600));
    EXPECT_EQ(cache.look(bombPath, 0, 0).size, QSize(5600, 5600));
    const QImage cell = cache.cell(bombPath, 0, 0);
    EXPECT_GT(cell.sizeInBytes(), 0);
    EXPECT_LE(cell.sizeInBytes(), cache.pictureLimit() / 4);
    EXPECT_EQ(cell.pixel(0, 0), qRgb(200, 40, 40));
    bool coming = false;
    EXPECT_TRUE(cache.scaledCell(bombPath, 0, 0, -8, 0.25, &coming).isNull());
    EXPECT_TRUE(coming) << "a large cell is scaled beside the caller";
    cache.waitForPictures();
    EXPECT_EQ(cache.scaledCell(bombPath, 0, 0, -8, 0.25, &coming).size(), QSize(1400, 1400));
    EXPECT_FALSE(coming);
    EXPECT_EQ(cache.cell(dir.filePath(names[1]), 0, 0).size(), QSize(40, 20));
    const PictureCache::Look pipe = cache.look(dir.filePath(names[2]), 0, 0);
    EXPECT_FALSE(pipe.waiting);
    EXPECT_FALSE(pipe.size.isValid()) << "a FIFO is the marked box";
}

// A job stuck in a read (here a FIFO no one writes into) must not hold up
// its owner going away, nor so the window closing and the process ending.
TEST(BackgroundJobsTest, GoingAwayNeverWaitsForAStuckJob)
{
    QTemporaryDir dir;
    const QByteArray pipe = QFile::encodeName(dir.filePath(QStringLiteral("pipe")));
    ASSERT_EQ(::mkfifo(pipe.constData(), 0600), 0);
    std::promise<void> started;
    std::promise<void> ended;
    QObject receiver;
    {
        BackgroundJobs jobs(receiver, 1);
        jobs.post([&] {
            started.set_value();
            ::close(::open(pipe.constData(), O_RDONLY));  // blocks until a writer comes
            ended.set_value();
            return BackgroundJobs::Result();
        });
        started.get_future().wait();
    }
    ::close(::open(pipe.constData(), O_WRONLY));  // the job goes on, alone
    ended.get_future().wait();
}

}  // namespace
