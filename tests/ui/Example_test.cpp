// The example definition that ships with the editor: it reads cleanly, is in
// the editor's own layout, names only files that are there, and its images
// cut evenly into their tiles.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <set>

#include "core/DefinitionReader.h"
#include "core/DefinitionWriter.h"
#include "core/io/DefinitionFiles.h"

namespace {

const QDir kExamples(QStringLiteral(QEL_EXAMPLES_DIR));

QString ExamplePath(const std::string& name)
{
    return kExamples.filePath(QString::fromStdString(name));
}

std::string ReadBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
}

class ExampleTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NO_THROW(qel::ReadDefinition(doc, ExamplePath("harbour.ini").toStdString())); }
    qel::DefinitionDocument doc;
};

TEST_F(ExampleTest, IsWrittenBackUnchanged)
{
    EXPECT_EQ(qel::ComposeDefinition(doc), ReadBytes(ExamplePath("harbour.ini")));
}

TEST_F(ExampleTest, NamesOnlyFilesThatAreThere)
{
    ASSERT_FALSE(doc.files().empty());
    for (const std::string& file : doc.files())
        EXPECT_TRUE(QFile::exists(ExamplePath(file))) << file;
}

TEST_F(ExampleTest, ImagesCutEvenlyIntoTheirTiles)
{
    ASSERT_FALSE(doc.images().empty());
    for (const qel::ObjectImage& image : doc.images()) {
        const QImage picture(ExamplePath(image.file));
        ASSERT_FALSE(picture.isNull()) << image.file;
        if (image.xTiles <= 0)
            continue;
        EXPECT_EQ(picture.width() % image.xTiles, 0) << image.file;
        EXPECT_EQ(picture.height() % image.yTiles, 0) << image.file;
    }
}

TEST_F(ExampleTest, UsesEveryLayerAndEveryMode)
{
    std::set<int> layers;
    std::set<int> modes;
    for (const qel::ObjectList* list : {&doc.mapObjects(), &doc.screenObjects()}) {
        for (std::size_t row = 0; row < list->size(); ++row) {
            layers.insert(list->fields(row).layer);
            modes.insert(list->fields(row).mode);
        }
    }
    EXPECT_EQ(layers, std::set<int>({0, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(modes, std::set<int>({0, 1, 2, 3, 4, 5}));
}

}  // namespace
