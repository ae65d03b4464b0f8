#pragma once
// A prompter that records every message and question and answers from
// queues; a question nobody queued an answer for fails the test.

#include <gtest/gtest.h>
#include <QString>
#include <QStringList>
#include <deque>
#include <vector>

#include "ui/Prompter.h"

class FakePrompter : public qel::ui::Prompter {
public:
    std::vector<QString> errors;
    std::vector<QString> informations;
    std::vector<QString> confirmations;
    // Those of the confirmations asked with No as the default.
    std::vector<QString> noDefaultConfirmations;
    std::vector<QString> saveQuestions;
    std::vector<QString> openFilters;
    std::vector<QString> saveFilters;

    std::deque<bool> confirmAnswers;
    std::deque<qel::ui::SaveChangesAnswer> saveChangesAnswers;
    std::deque<QString> openAnswers;
    std::deque<QStringList> openFilesAnswers;
    std::deque<QString> saveAnswers;
    std::deque<std::optional<qel::ui::ObjectChangeFields>> changeAnswers;

    void error(QWidget*, const QString& message) override { errors.push_back(message); }
    void information(QWidget*, const QString& message) override { informations.push_back(message); }

    bool confirm(QWidget*, const QString& question) override
    {
        confirmations.push_back(question);
        return take(confirmAnswers, false, "confirmation");
    }

    bool confirmNoDefault(QWidget* parent, const QString& question) override
    {
        noDefaultConfirmations.push_back(question);
        return confirm(parent, question);
    }

    qel::ui::SaveChangesAnswer askSaveChanges(QWidget*, const QString& question) override
    {
        saveQuestions.push_back(question);
        return take(saveChangesAnswers, qel::ui::SaveChangesAnswer::Cancel, "save-changes question");
    }

    QString openFile(QWidget*, const QString& filter) override
    {
        openFilters.push_back(filter);
        return take(openAnswers, QString(), "open dialog");
    }

    QStringList openFiles(QWidget*, const QString& filter) override
    {
        openFilters.push_back(filter);
        return take(openFilesAnswers, QStringList(), "open-files dialog");
    }

    QString saveFile(QWidget*, const QString& filter) override
    {
        saveFilters.push_back(filter);
        return take(saveAnswers, QString(), "save dialog");
    }

    std::optional<qel::ui::ObjectChangeFields> askObjectChange(QWidget*, const QStringList&,
                                                               const qel::ui::ObjectChangeFields&) override
    {
        return take(changeAnswers, std::optional<qel::ui::ObjectChangeFields>(), "change dialog");
    }
    // Nothing asked or shown at all.
    bool silent() const
    {
        return errors.empty() && confirmations.empty() && saveQuestions.empty() && openFilters.empty()
               && saveFilters.empty();
    }

private:
    template <class T>
    static T take(std::deque<T>& answers, T fallback, const char* what)
    {
        if (answers.empty()) {
            ADD_FAILURE() << "unexpected " << what;
            return fallback;
        }
        T answer = std::move(answers.front());
        answers.pop_front();
        return answer;
    }
};
