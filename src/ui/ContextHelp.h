#pragma once
// Short control help on every window. A window owns one TODSHelp that names its controls (by
// object name) with a help text each. The user right-clicks a control and chooses "What's this?",
// or presses the window's pointer button and then clicks a control; a pale yellow pop-up with the
// text opens at the control. Help mode rides on Qt's What's This mode (its cursor and state);
// the clicks, keys and focus changes of the mode are answered here.
#include <QColor>
#include <QFont>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <initializer_list>

// One control's help. A text that starts with "->" redirects to another control of the same
// window ("->RepeatFor"); the other control's help is shown instead.
struct TODSHelpData {
    QString Text;
    int HelpContext = 0; // topic of the help pages; 0: none
};

struct TODSHelpItem {
    QString Name;
    TODSHelpData Data;
};

class TODSHelp : public QObject {
    Q_OBJECT
public:
    // The window owns its help component. The component gives every control of the window that
    // has help (its own or a parent's) the pop-up menu "What's this?".
    explicit TODSHelp(QWidget* window, std::initializer_list<TODSHelpItem> items = {});
    ~TODSHelp() override;

    // The help list, in list order; names compare exactly (case matters).
    QList<TODSHelpItem> HelpText;
    QColor Color = QColor(255, 255, 232);
    QFont Font = QFont(QStringLiteral("Liberation Sans"), 8);
    bool ParentFont = true; // the pop-up uses the window's font
    int MaxWidth = 300;     // pixels the text wraps at
    QString MoreText = QStringLiteral("Click here or press F1 for more...");

    QWidget* Window() const { return window_; }
    // The font the pop-up uses, as ParentFont chooses.
    QFont HelpFont() const;

    // The record shown for a name, redirects followed; nullptr when the name has none (no entry,
    // an entry without text, or a redirect that leads nowhere or round in a circle).
    const TODSHelpData* Find(const QString& name) const;

    // Shows the help of a control (its window's help list) in the pop-up at screenRect, with
    // this component's settings. False when the control has no help.
    bool ShowHelpFor(QWidget* control, const QRect& screenRect);
    // The "What's this?" of a control: its own help or that of its nearest parent with help
    // within its window. Nothing found (or no control): HelpDone and nothing shown.
    void ShowControlHelp(QWidget* control);
    // The pointer button: the next left click shows the help of the control under the mouse.
    // Escape or the loss of the focus leave the mode; the focused control keeps the focus.
    void StartHelpMode();
    bool InHelpMode() const;

    // The help component of the window a control belongs to, or nullptr.
    static TODSHelp* Of(QWidget* control);
    // Whether a control or one of its parents within its window has help.
    static bool HasHelp(QWidget* control);

signals:
    // A help action ended: pop-up closed, help mode left, or nothing found.
    void HelpDone();

private:
    friend class THelpMask;
    friend class TODSHelpPopup;
    bool ShowFromControlUp(QWidget* control);
    void EndHelpMode(QWidget* clicked);

    QPointer<QWidget> window_;
    QPointer<QObject> mask_; // THelpMask while in help mode
};

// The one pop-up of the program, created on first use and owned by the application.
class TODSHelpPopup : public QWidget {
    Q_OBJECT
public:
    static TODSHelpPopup* Instance();
    // The instance when one was created (tests look at it without creating it).
    static TODSHelpPopup* Existing();

    // Shows text under target (screen coordinates) with the settings of a help component; a
    // topic other than 0 adds the more-text line, which F1 or a click on it opens.
    void ShowText(TODSHelp& settings, const QString& text, int topic, const QRect& target);

    QString Text() const { return text_; }
    int Topic() const { return topic_; }
    bool HasMore() const { return topic_ != 0; }
    QColor Color() const { return color_; }
    // The framed area with the text (the pop-up is 6 pixels larger for the shadow).
    QRect DrawingArea() const { return area_; }
    // Where a click opens the help topic (widget coordinates); empty without a topic.
    QRect MoreRect() const;

    // The pop-up's top-left corner: under the target, pulled back inside the screen.
    static QPoint Place(const QSize& popupSize, int textWidth, const QRect& target, const QRect& screen);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    TODSHelpPopup();
    void OpenTopic();
    void ApplicationStateChanged(Qt::ApplicationState state);

    QString text_;
    int topic_ = 0;
    QColor color_;
    QFont font_;
    QString moreText_;
    QSize moreSize_;
    QRect area_;
    QPixmap underneath_; // the screen beneath, for the shadow
    QPointer<TODSHelp> owner_;
    QPointer<QWidget> ownerWindow_;
};

class QPushButton;
class QToolButton;

namespace sw {
// A window's "Help" button: opens the help page of a context number (kept in the button's
// "helpContext" property, which the help pop-up of the button offers as its topic too).
QPushButton* MakeHelpButton(QWidget* window, int context, const QString& caption = QStringLiteral("Help"));
// A window's pointer button: help mode on the window's help component.
QToolButton* MakeMouseHelpButton(QWidget* window);
} // namespace sw
