#include "ui/ContextHelp.h"

#include "ui/HelpViewer.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTextEdit>
#include <QToolButton>
#include <QWhatsThis>
#include <QWindow>
#include <memory>

namespace {

constexpr int kShadow = 6;

QRect ScreenRectOf(const QWidget* w)
{
    return QRect(w->mapToGlobal(QPoint(0, 0)), w->size());
}

// The controls' menu: "What's this?" on every control of a window with help, added to the
// standard menu of text fields. One filter serves all windows.
class THelpMenus : public QObject {
public:
    using QObject::QObject;

    static void Install()
    {
        static QPointer<THelpMenus> filter;
        if (!filter) {
            filter = new THelpMenus(qApp);
            qApp->installEventFilter(filter);
        }
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::ContextMenu || !watched->isWidgetType())
            return false;
        QPointer<QWidget> control = static_cast<QWidget*>(watched);
        QPointer<TODSHelp> help = TODSHelp::Of(control);
        if (!help || help->InHelpMode() || !TODSHelp::HasHelp(control))
            return false;
        const auto* ce = static_cast<QContextMenuEvent*>(event);
        std::unique_ptr<QMenu> menu;
        if (auto* edit = qobject_cast<QLineEdit*>(control.data()))
            menu.reset(edit->createStandardContextMenu());
        else if (auto* plain = qobject_cast<QPlainTextEdit*>(control.data()))
            menu.reset(plain->createStandardContextMenu(ce->pos()));
        else if (auto* rich = qobject_cast<QTextEdit*>(control.data()))
            menu.reset(rich->createStandardContextMenu(ce->pos()));
        if (menu)
            menu->addSeparator();
        else
            menu = std::make_unique<QMenu>(control);
        menu->setObjectName(QStringLiteral("WhatsThisMenu"));
        QAction* item = menu->addAction(QStringLiteral("What's this?"));
        item->setObjectName(QStringLiteral("WhatsthisMenuItem"));
        QAction* chosen = menu->exec(ce->globalPos());
        if (chosen == item && control && help)
            help->ShowControlHelp(control);
        return true;
    }
};

} // namespace

// Help mode: stands in front of every other event filter (Qt's What's This mode included) and
// takes the mouse and the keyboard until a left click, Escape or the loss of the focus.
class THelpMask : public QObject {
public:
    THelpMask(TODSHelp& help, QWidget* focus)
        : QObject(&help), help_(help), focus_(focus)
    {
        setObjectName(QStringLiteral("ODSMask"));
        if (QWidget* w = help.Window())
            windowHandle_ = w->window()->windowHandle();
        qApp->installEventFilter(this);
        connect(qApp, &QGuiApplication::focusWindowChanged, this, [this](QWindow* now) {
            if (now != windowHandle_)
                End(nullptr);
        });
        connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState s) {
            if (s != Qt::ApplicationActive)
                End(nullptr);
        });
    }
    ~THelpMask() override { qApp->removeEventFilter(this); }

    QWidget* Focus() const { return focus_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick: {
            const auto* me = static_cast<QMouseEvent*>(event);
            if (me->button() == Qt::LeftButton) {
                // The control under the mouse, disabled ones included.
                QWidget* at = QApplication::widgetAt(me->globalPosition().toPoint());
                if (!at && watched->isWidgetType())
                    at = static_cast<QWidget*>(watched);
                End(at, true);
            }
            return true;
        }
        case QEvent::KeyPress:
            if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape)
                End(nullptr);
            return true;
        case QEvent::ShortcutOverride:
            // Accepted, so that no shortcut fires; the key press then comes here and is eaten.
            event->accept();
            return true;
        case QEvent::MouseButtonRelease:
        case QEvent::MouseMove:
        case QEvent::KeyRelease:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
            return true;
        default:
            return false;
        }
    }

private:
    void End(QWidget* clicked, bool click = false)
    {
        if (ended_)
            return;
        ended_ = true;
        qApp->removeEventFilter(this);
        deleteLater();
        help_.EndHelpMode(click ? clicked : nullptr);
    }

    TODSHelp& help_;
    QPointer<QWidget> focus_;
    QPointer<QWindow> windowHandle_;
    bool ended_ = false;
};

// ---- TODSHelp

TODSHelp::TODSHelp(QWidget* window, std::initializer_list<TODSHelpItem> items)
    : QObject(window), HelpText(items), window_(window)
{
    setObjectName(QStringLiteral("ODSHelp"));
    THelpMenus::Install();
}

TODSHelp::~TODSHelp()
{
    // A window closed in help mode takes the mode with it.
    if (mask_)
        QWhatsThis::leaveWhatsThisMode();
}

QFont TODSHelp::HelpFont() const
{
    return ParentFont && window_ ? window_->font() : Font;
}

const TODSHelpData* TODSHelp::Find(const QString& name) const
{
    QString wanted = name;
    // A chain of redirects can visit every entry at most once; more hops mean a circle.
    for (qsizetype hops = 0; hops <= HelpText.size(); ++hops) {
        const TODSHelpData* found = nullptr;
        for (const TODSHelpItem& item : HelpText) {
            if (item.Name == wanted && !item.Data.Text.isEmpty()) {
                found = &item.Data;
                break;
            }
        }
        if (!found)
            return nullptr;
        if (!found->Text.startsWith(QLatin1String("->")))
            return found;
        wanted = found->Text.mid(2);
    }
    return nullptr;
}

TODSHelp* TODSHelp::Of(QWidget* control)
{
    if (!control)
        return nullptr;
    const auto helps = control->window()->findChildren<TODSHelp*>(Qt::FindDirectChildrenOnly);
    return helps.isEmpty() ? nullptr : helps.last();
}

bool TODSHelp::HasHelp(QWidget* control)
{
    const TODSHelp* help = Of(control);
    if (!help)
        return false;
    for (QWidget* w = control; w; w = w->isWindow() ? nullptr : w->parentWidget()) {
        if (help->Find(w->objectName()))
            return true;
    }
    return false;
}

bool TODSHelp::ShowHelpFor(QWidget* control, const QRect& screenRect)
{
    const TODSHelp* owner = Of(control);
    if (!owner)
        return false;
    const TODSHelpData* data = owner->Find(control->objectName());
    if (!data)
        return false;
    QWidget* window = control->window();
    window->raise();
    int topic = data->HelpContext;
    if (topic == 0)
        topic = control->property("helpContext").toInt();
    TODSHelpPopup::Instance()->ShowText(*this, data->Text, topic, screenRect);
    return true;
}

bool TODSHelp::ShowFromControlUp(QWidget* control)
{
    for (QWidget* w = control; w; w = w->isWindow() ? nullptr : w->parentWidget()) {
        if (ShowHelpFor(w, ScreenRectOf(w)))
            return true;
    }
    return false;
}

void TODSHelp::ShowControlHelp(QWidget* control)
{
    if (!control || !ShowFromControlUp(control))
        emit HelpDone();
}

void TODSHelp::StartHelpMode()
{
    if (InHelpMode() || !window_)
        return;
    if (TODSHelpPopup* popup = TODSHelpPopup::Existing())
        popup->hide();
    QWidget* focus = window_->focusWidget();
    QWhatsThis::enterWhatsThisMode();
    // Installed after Qt's own filter of the mode, so it sees every event first.
    mask_ = new THelpMask(*this, focus);
}

bool TODSHelp::InHelpMode() const
{
    return mask_ != nullptr;
}

void TODSHelp::EndHelpMode(QWidget* clicked)
{
    auto* mask = static_cast<THelpMask*>(mask_.data());
    QPointer<QWidget> focus = mask ? mask->Focus() : nullptr;
    mask_ = nullptr;
    QWhatsThis::leaveWhatsThisMode();
    if (focus)
        focus->setFocus();
    const bool shown = clicked && clicked->window()->isEnabled() && ShowFromControlUp(clicked);
    if (!shown)
        emit HelpDone();
}

// ---- TODSHelpPopup

namespace {
QPointer<TODSHelpPopup>& PopupInstance()
{
    static QPointer<TODSHelpPopup> popup;
    return popup;
}

QFont MoreFont(QFont font)
{
    font.setBold(!font.bold());
    return font;
}
} // namespace

TODSHelpPopup* TODSHelpPopup::Instance()
{
    if (!PopupInstance())
        PopupInstance() = new TODSHelpPopup;
    return PopupInstance();
}

TODSHelpPopup* TODSHelpPopup::Existing()
{
    return PopupInstance();
}

TODSHelpPopup::TODSHelpPopup()
    : QWidget(nullptr, Qt::Popup | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("ODSHelpPopup"));
    // The click that closes the pop-up does nothing else.
    setAttribute(Qt::WA_NoMouseReplay);
    connect(qApp, &QGuiApplication::applicationStateChanged, this, &TODSHelpPopup::ApplicationStateChanged);
}

QPoint TODSHelpPopup::Place(const QSize& popupSize, int textWidth, const QRect& target, const QRect& screen)
{
    int left = std::max(target.left() - textWidth / 2, screen.left());
    if (left + popupSize.width() > screen.left() + screen.width())
        left = screen.left() + screen.width() - popupSize.width() - 10;
    int top = target.top() + 8;
    if (top + popupSize.height() > screen.top() + screen.height())
        top = screen.top() + screen.height() - popupSize.height() - 10;
    return {left, top};
}

void TODSHelpPopup::ShowText(TODSHelp& settings, const QString& text, int topic, const QRect& target)
{
    hide();
    // The window the help is for owns the pop-up while it shows, so the pop-up goes with the
    // last window that used it.
    if (QWidget* window = settings.Window(); window && parentWidget() != window->window())
        setParent(window->window(), windowFlags());
    owner_ = &settings;
    ownerWindow_ = settings.Window();
    text_ = text;
    topic_ = topic;
    color_ = settings.Color;
    font_ = settings.HelpFont();
    moreText_ = settings.MoreText;

    const QFontMetrics fm(font_);
    const QRect needed = fm.boundingRect(QRect(0, 0, settings.MaxWidth, 10),
                                         Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, text_);
    int w = needed.width() + 16;
    int h = needed.height() + 10;
    moreSize_ = {};
    if (HasMore()) {
        const QFontMetrics mfm(MoreFont(font_));
        moreSize_ = QSize(mfm.horizontalAdvance(moreText_), mfm.height());
        h += 3 + moreSize_.height();
        // A short text still shows the whole more-text line.
        w = std::max(w, moreSize_.width() + 16);
    }
    area_ = QRect(0, 0, w, h);
    const QSize size(w + kShadow, h + kShadow);

    QScreen* screen = QGuiApplication::screenAt(target.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRect screenRect = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
    const QPoint at = Place(size, w, target, screenRect);
    underneath_ = screen ? screen->grabWindow(0, at.x() - screenRect.x(), at.y() - screenRect.y(),
                                              size.width(), size.height())
                         : QPixmap();
    setFont(font_);
    setGeometry(QRect(at, size));
    show();
    raise();
    activateWindow();
}

QRect TODSHelpPopup::MoreRect() const
{
    if (!HasMore())
        return {};
    return QRect(area_.right() - 8 - moreSize_.width() + 1, area_.bottom() - 2 - moreSize_.height() + 1,
                 moreSize_.width(), moreSize_.height());
}

void TODSHelpPopup::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (!underneath_.isNull())
        p.drawPixmap(0, 0, underneath_);
    // The shadow: every other pixel of the screen beneath darkened.
    p.fillRect(area_.translated(kShadow, kShadow), QBrush(Qt::black, Qt::Dense4Pattern));
    p.setPen(Qt::black);
    p.setBrush(color_);
    p.drawRect(area_.adjusted(0, 0, -1, -1));
    p.setFont(font_);
    p.drawText(area_.adjusted(8, 4, -8, 0), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, text_);
    if (HasMore()) {
        p.setFont(MoreFont(font_));
        p.drawText(MoreRect(), Qt::AlignRight | Qt::AlignBottom, moreText_);
    }
}

void TODSHelpPopup::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1 && HasMore())
        OpenTopic();
    hide();
}

void TODSHelpPopup::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    if (HasMore() && MoreRect().contains(event->position().toPoint()))
        OpenTopic();
    hide();
}

void TODSHelpPopup::OpenTopic()
{
    sw::ShowHelp(ownerWindow_, topic_);
}

void TODSHelpPopup::ApplicationStateChanged(Qt::ApplicationState state)
{
    if (state != Qt::ApplicationActive && isVisible())
        hide();
}

void TODSHelpPopup::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    underneath_ = QPixmap();
    text_.clear();
    if (TODSHelp* owner = owner_)
        emit owner->HelpDone();
    owner_ = nullptr;
}

namespace sw {

QPushButton* MakeHelpButton(QWidget* window, int context, const QString& caption)
{
    auto* b = new QPushButton(caption, window);
    b->setObjectName(QStringLiteral("HelpButton"));
    b->setAutoDefault(false);
    b->setProperty("helpContext", context);
    QObject::connect(b, &QPushButton::clicked, window, [window, context] { ShowHelp(window, context); });
    return b;
}

QToolButton* MakeMouseHelpButton(QWidget* window)
{
    auto* b = new QToolButton(window);
    b->setObjectName(QStringLiteral("MouseHelpButton"));
    b->setText(QStringLiteral("?"));
    b->setToolTip(QStringLiteral("What's this?"));
    b->setFocusPolicy(Qt::NoFocus);
    QObject::connect(b, &QToolButton::clicked, window, [window] {
        if (TODSHelp* help = TODSHelp::Of(window))
            help->StartHelpMode();
    });
    return b;
}

} // namespace sw
