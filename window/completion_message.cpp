#include "window/completion_message.h"

#include <cstddef>

#include "window/list_entries.h"

namespace window {

namespace {

// Failed entries named one by one before the rest are only counted.
constexpr int kNamedFailures = 10;

bool IsFailure(renaming::Outcome outcome) {
    return outcome == renaming::Outcome::ReadFailure || outcome == renaming::Outcome::Refused ||
           outcome == renaming::Outcome::Failed;
}

}  // namespace

QString CompletionLine() {
    return QStringLiteral("フォルダ名の変更を終了しました");
}

QString ReasonText(renaming::Reason reason, const std::string& systemMessage) {
    using renaming::Reason;
    switch (reason) {
        case Reason::None:
            break;
        case Reason::NoSuchFile:
            return QStringLiteral("ファイルがありません");
        case Reason::IsFolder:
            return QStringLiteral("ファイルではありません");
        case Reason::ChartUnreadable:
            return QStringLiteral("読み込めません");
        case Reason::PathCut:
            return QStringLiteral("パスが長すぎます");
        case Reason::NoParentFolder:
            return QStringLiteral("親フォルダがありません");
        case Reason::NameEmpty:
            return QStringLiteral("新しい名前が空です");
        case Reason::NameDot:
            return QStringLiteral("新しい名前が「.」か「..」です");
        case Reason::NameInvalidEncoding:
            return QStringLiteral("新しい名前の文字コードが正しくありません");
        case Reason::NamePathSeparator:
            return QStringLiteral("新しい名前にパスの区切り文字が含まれます");
        case Reason::NameControlCharacter:
            return QStringLiteral("新しい名前に制御文字が含まれます");
        case Reason::TargetExists:
            return QStringLiteral("同じ名前のフォルダが既にあります");
        case Reason::SourceMissing:
            return QStringLiteral("フォルダが見つかりません");
        case Reason::Unsupported:
            return QStringLiteral("このファイルシステムでは安全に名前を変更できません");
        case Reason::SystemError:
            if (systemMessage.empty()) {
                return QStringLiteral("システムエラー");
            }
            return QStringLiteral("システムエラー（%1）")
                .arg(QString::fromStdString(systemMessage));
    }
    return QStringLiteral("不明なエラー");
}

QString CompletionText(const renaming::BatchReport& report, const QStringList& listed) {
    if (!report.HasFailures()) {
        return CompletionLine();
    }
    int renamed = 0;
    int notRenamed = 0;
    QStringList failures;
    for (std::size_t i = 0; i < report.entries.size(); ++i) {
        const renaming::EntryReport& entry = report.entries[i];
        if (entry.outcome == renaming::Outcome::Renamed) {
            ++renamed;
        }
        if (!IsFailure(entry.outcome)) {
            continue;
        }
        ++notRenamed;
        if (failures.size() < kNamedFailures) {
            const QString name = i < static_cast<std::size_t>(listed.size())
                                     ? listed.at(static_cast<qsizetype>(i))
                                     : FromNativePath(entry.chart);
            failures.append(
                QStringLiteral("%1: %2").arg(name, ReasonText(entry.reason, entry.systemMessage)));
        }
    }

    // A walk that stopped did not finish: it must not say it did.
    QStringList lines;
    if (report.completed) {
        lines << CompletionLine() << QString();
    } else {
        const QString why = QString::fromStdString(report.stopMessage);
        lines.append(
            why.isEmpty()
                ? QStringLiteral("予期しないエラーのため途中で中止しました")
                : QStringLiteral("予期しないエラーのため途中で中止しました（%1）").arg(why));
        const qsizetype untouched = listed.size() - static_cast<qsizetype>(report.entries.size());
        if (untouched > 0) {
            lines.append(QStringLiteral("残りの%1件は処理していません").arg(untouched));
        }
    }
    lines.append(QStringLiteral("変更したフォルダ: %1件").arg(renamed));
    lines.append(QStringLiteral("変更できなかったフォルダ: %1件").arg(notRenamed));
    lines.append(failures);
    if (notRenamed > kNamedFailures) {
        lines.append(QStringLiteral("ほか%1件").arg(notRenamed - kNamedFailures));
    }
    return lines.join(QLatin1Char('\n'));
}

}  // namespace window
