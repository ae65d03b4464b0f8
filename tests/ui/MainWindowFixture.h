#pragma once
// A main window with its dialogs over fakes: answered dialogs, an in-memory
// settings store, a launcher that only records, and a throw-away folder;
// the controls are found by their names.

#include <gtest/gtest.h>
#include <QAbstractItemModel>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <memory>
#include <string>

#include "tests/fakes/FakeClipboard.h"
#include "tests/fakes/FakeProcessLauncher.h"
#include "tests/fakes/FakeSettingsStore.h"
#include "tests/ui/FakePrompter.h"
#include "ui/TMainFrm.h"

// Failures show texts as texts.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        if (!services.clipboard)
            services.clipboard = &clipboard;
        if (services.compilerLogFolder.isEmpty())
            services.compilerLogFolder = dir.filePath(QStringLiteral("logs"));
        frm = std::make_unique<TMainFrm>(prompter, store, launcher, services);
        frm->CreateDialogs();
    }
    // The window goes before the fakes a derived fixture handed it.
    void TearDown() override { frm.reset(); }

    template <class T>
    T* find(const char* name) const
    {
        T* found = frm->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    // The window's one section of that class.
    template <class Section>
    Section* section() const
    {
        return frm->findChild<Section*>();
    }

    QString path(const QString& name) const { return dir.filePath(name); }

    static void writeFile(const QString& file, const std::string& bytes)
    {
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(bytes.data(), static_cast<qint64>(bytes.size()));
    }

    static std::string readFile(const QString& file)
    {
        QFile in(file);
        if (!in.open(QIODevice::ReadOnly))
            return "<missing>";
        return in.readAll().toStdString();
    }

    // The texts of a list's rows, of a combo box's items.
    static QStringList rowsOf(const QAbstractItemModel* model)
    {
        QStringList texts;
        for (int i = 0; i < model->rowCount(); ++i)
            texts << model->index(i, 0).data().toString();
        return texts;
    }
    static QStringList itemsOf(const QComboBox* box) { return rowsOf(box->model()); }

    QStringList filesInDir() const { return QDir(dir.path()).entryList(QDir::Files); }

    // Opens `file` through the Open command.
    void open(const QString& file)
    {
        prompter.openAnswers.push_back(file);
        frm->aOpenExecute();
    }

    QTemporaryDir dir;
    FakePrompter prompter;
    qel::platform::FakeSettingsStore store;
    qel::platform::FakeProcessLauncher launcher;
    qel::platform::FakeClipboard clipboard;
    // Fakes set here before SetUp() runs take the place of the desktop's.
    qel::ui::WindowServices services;
    std::unique_ptr<TMainFrm> frm;
};
