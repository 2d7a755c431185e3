#pragma once
// The symbol chooser: the 223 characters 33..255 of the symbol font in a grid of seven
// columns, and a colour button. Position n stands for character code n + 33.
#include <QColor>
#include <QDialog>
#include <QListWidget>
#include <functional>
#include <optional>

class TSymbolList : public QListWidget {
    Q_OBJECT
public:
    static constexpr int FirstCode = 33;
    static constexpr int LastCode = 255;
    static constexpr int Columns = 7;
    static constexpr int RowHeight = 30;
    static constexpr int GlyphHeight = 27;

    explicit TSymbolList(QWidget* parent = nullptr);

    // Clears the list, adds the codes 33..255 in ascending order and selects position 0.
    void Fill();

    int SelectedIndex() const { return currentRow(); }
    void SetSelectedIndex(int index);

    QColor TextColor() const { return textColor_; }
    void SetTextColor(const QColor& color);
    QColor BackgroundColor() const { return background_; }
    void SetBackgroundColor(const QColor& color);

private:
    QColor textColor_ = Qt::black;
    QColor background_ = Qt::white;
};

class TGetSymbol : public QDialog {
    Q_OBJECT
public:
    static constexpr int HelpContext = 1046;
    // Asks for a colour starting from the given one; nothing when the user cancels.
    using TColorChooser = std::function<std::optional<QColor>(QWidget* parent, const QColor& initial)>;

    explicit TGetSymbol(QWidget* parent = nullptr);

    void SetColorChooser(TColorChooser chooser) { chooser_ = std::move(chooser); }
    void ColorButtonClick();

    TSymbolList* SymbolList;
    QPushButton* ColorButton;

private:
    TColorChooser chooser_;
};
