// Where the window's parts meet the session: an image deleted with its
// objects while the problems follow, and the object editor following the row
// it shows through the steps that change it.

#include <QComboBox>
#include <QLineEdit>
#include <QToolButton>

#include "DefinitionWriter.h"
#include "ImageSection.h"
#include "MainWindowFixture.h"
#include "MapCanvas.h"
#include "MapView.h"
#include "ObjectListView.h"
#include "ObjectsSection.h"
#include "ProblemMonitor.h"

using namespace qel;

namespace {

class WindowSeamsTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        writeFile(path("d.ini"),
                  "[objectimages]\r\nIMAGE0=a.bmp\r\nIMAGE1=b.bmp\r\nIMAGE2=c.bmp\r\n"
                  "[mapobjects]\r\n8176,8136,IMAGE1,AfterTiles\r\n10,10,IMAGE0\r\n20,20,IMAGE1\r\n30,30,IMAGE2\r\n"
                  "[screenobjects]\r\nC-1,1,IMAGE1\r\n5,5,IMAGE2\r\n");
        open(path("d.ini"));
        ASSERT_EQ(frm->document().mapObjectCount(), 4);
    }

    // The counts the window's monitor shows, next to a check made afresh.
    void expectProblemsAsFresh()
    {
        struct NoDisk : CheckEnvironment {
            bool fileExists(const std::string&) override { return false; }
            PictureFacts picture(const std::string&) override { return {}; }
        } disk;
        app::ProblemMonitor& monitor = frm->problemMonitor();
        monitor.finishChecking();
        app::ProblemCounts fresh;
        for (const Problem& p : CheckDocument(frm->document(), disk)) {
            std::size_t& count = p.severity == Severity::Error     ? fresh.errors
                                 : p.severity == Severity::Warning ? fresh.warnings
                                                                   : fresh.infos;
            ++count;
        }
        EXPECT_EQ(monitor.counts(), fresh);
    }

    std::string bytes() const { return ComposeDefinition(frm->document()); }
};

TEST_F(WindowSeamsTest, DeletingAnImageWithItsObjectsKeepsTheProblemsWhole)
{
    const struct {
        std::size_t image;
        bool withObjects;
        int mapRowsAfter;
    } cases[] = {{1, true, 2}, {1, false, 4}, {0, true, 3}, {2, true, 3}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "image " << c.image << " with objects " << c.withObjects);
        const std::string opened = bytes();
        section<qel::ui::ImageSection>()->selectImage(c.image);
        prompter.confirmAnswers = {true, c.withObjects};
        find<QToolButton>("DelImage")->click();
        EXPECT_EQ(frm->document().mapObjectCount(), c.mapRowsAfter);
        expectProblemsAsFresh();
        frm->UndoExecute();
        EXPECT_EQ(bytes(), opened);
        expectProblemsAsFresh();
    }
    EXPECT_TRUE(prompter.errors.empty());
}

}  // namespace
