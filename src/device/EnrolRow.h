#pragma once

#include <QDateTime>
#include <QString>
#include <optional>
#include <vector>

// One person of a bulk enrolment: the values of a spreadsheet row, and how far
// their import has come.

enum class EnrolState
{
    Pending, // checked, to be imported
    Invalid, // refused by the check, never sent
    Skipped, // already on the terminal, left as it is
    Succeeded,
    Failed,
    Cancelled
};

// The commands a row sends, each as its single button on the persons page sends it.
enum class EnrolStep
{
    Find,      // btn6
    Create,    // btn3
    Update,    // btn4
    Validity,  // btn21
    Face,      // btn13
    FaceUpdate // btn7
};

// 待导入, 无效, 已跳过, 成功, 失败, 已取消.
QString EnrolStateText(EnrolState state);
// The caption of the step's button, which names it in a row's note.
QString EnrolStepText(EnrolStep step);

struct PlannedStep
{
    EnrolStep step;
    bool done = false;
};

struct EnrolRow
{
    QString id;
    QString name;
    QString card;
    // Given or not; a date alone means 23:59:59 of that day.
    std::optional<QDateTime> validUntil;
    // The photo's file name in the folder, and its path; the path is empty
    // when no file was found.
    QString photo;
    QString photoFile;

    EnrolState state = EnrolState::Pending;
    // Why a row is invalid, which command failed and why, or what a cancelled
    // row had done.
    QString note;
    // Until the find has answered only the find; then what the answer calls for.
    std::vector<PlannedStep> steps;

    // The rows an import or its retry takes on.
    bool importable() const
    {
        return state == EnrolState::Pending || state == EnrolState::Failed || state == EnrolState::Cancelled;
    }
};
