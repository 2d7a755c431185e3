#pragma once
// The program's message boxes. Every failure and question reaches the user through these.
#include <QString>
#include <functional>

class QWidget;

namespace sw {

enum class BoxKind { Information, YesNo, YesNoDefaultNo, Plain };

struct BoxRequest {
    BoxKind kind;
    QString text;
    QString caption;
};

// Caption "Information", OK, information icon.
void ShowInformation(QWidget* parent, const QString& text);
// Yes and No, question icon; Yes is the default. True for Yes.
bool AskYesNo(QWidget* parent, const QString& text, const QString& caption);
// As AskYesNo with No as the default.
bool AskYesNoDefaultNo(QWidget* parent, const QString& text, const QString& caption);
// The application title as caption, OK.
void ShowMessage(QWidget* parent, const QString& text);

// Tests and batch runs answer boxes without showing them: the hook returns true for Yes/OK.
// An empty hook restores the real boxes.
using BoxHook = std::function<bool(const BoxRequest&)>;
void SetBoxHook(BoxHook hook);

} // namespace sw
