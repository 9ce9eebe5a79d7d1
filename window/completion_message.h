// The text of the message shown when the batch rename is done.
#pragma once

#include <QString>
#include <QStringList>
#include <string>

#include "renaming/batch_rename.h"

namespace window {

// The line that ends every batch rename.
QString CompletionLine();

// Why an entry was not renamed, in the window's language.
QString ReasonText(renaming::Reason reason, const std::string& systemMessage = {});

// The completion message for report; listed holds the list's entries in list order, so a failed
// entry is named as the user sees it.
QString CompletionText(const renaming::BatchReport& report, const QStringList& listed);

}  // namespace window
