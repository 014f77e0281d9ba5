// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/NightVision.h"

#include <QAbstractButton>
#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPainter>
#include <QPalette>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOption>
#include <QToolTip>
#include <algorithm>
#include <optional>

namespace platform::qt {

namespace {

// Pure reds only (green and blue always 0): text dim enough not to dazzle, yet readable.
constexpr int TextRed = 170;
constexpr int DisabledRed = 80;
constexpr int HighlightRed = 90;
constexpr int HighlightedTextRed = 230;
constexpr int FrameRed = 100;
constexpr int DisabledFrameRed = 50;
constexpr int IconRed = 140; // an icon is a large patch of light: a little dimmer than text

QColor red(int level)
{
    return QColor(level, 0, 0);
}

QPalette nightPalette()
{
    QPalette p;
    for (const QPalette::ColorGroup group : { QPalette::Active, QPalette::Inactive, QPalette::Disabled }) {
        const bool disabled = group == QPalette::Disabled;
        const int text = disabled ? DisabledRed : TextRed;
        p.setColor(group, QPalette::Window, red(0));
        p.setColor(group, QPalette::Base, red(14));
        p.setColor(group, QPalette::AlternateBase, red(22));
        p.setColor(group, QPalette::Button, red(30));
        p.setColor(group, QPalette::WindowText, red(text));
        p.setColor(group, QPalette::Text, red(text));
        p.setColor(group, QPalette::ButtonText, red(text));
        p.setColor(group, QPalette::BrightText, red(disabled ? DisabledRed : 255));
        p.setColor(group, QPalette::PlaceholderText, red(disabled ? 50 : 90));
        // The bevels and frames of the controls.
        p.setColor(group, QPalette::Light, red(90));
        p.setColor(group, QPalette::Midlight, red(60));
        p.setColor(group, QPalette::Mid, red(45));
        p.setColor(group, QPalette::Dark, red(22));
        p.setColor(group, QPalette::Shadow, red(0));
        // Selection in the log box and the fields, focus marks.
        p.setColor(group, QPalette::Highlight, red(disabled ? 40 : HighlightRed));
        p.setColor(group, QPalette::HighlightedText, red(disabled ? DisabledRed : HighlightedTextRed));
        p.setColor(group, QPalette::Link, red(200));
        p.setColor(group, QPalette::LinkVisited, red(140));
        p.setColor(group, QPalette::ToolTipBase, red(20));
        p.setColor(group, QPalette::ToolTipText, red(text));
    }
    return p;
}

// The day style, unchanged, except at night: the standard icons turn red, and under Fusion the
// frames of text fields, the log box, option buttons and check boxes get a red outline, and so
// does a focused button: Fusion draws them in a shade of the window's colour, which at night is
// black and would hide them.
class NightStyle : public QProxyStyle {
public:
    explicit NightStyle(QStyle* day)
        : QProxyStyle(day)
        , fusion(day->name().compare(QLatin1String("fusion"), Qt::CaseInsensitive) == 0)
    {
    }

    // The icons of message boxes and of their buttons (green tick, blue "i"…), in red.
    QIcon standardIcon(StandardPixmap which, const QStyleOption* option, const QWidget* widget) const override
    {
        const QIcon icon = QProxyStyle::standardIcon(which, option, widget);
        if (!NightVision::enabled() || icon.isNull())
            return icon;
        QList<QSize> sizes = icon.availableSizes();
        if (sizes.isEmpty())
            sizes = { QSize(16, 16), QSize(22, 22), QSize(32, 32), QSize(48, 48), QSize(64, 64) };
        QIcon night;
        for (const QSize& size : sizes)
            night.addPixmap(NightVision::tinted(icon.pixmap(size)));
        return night;
    }

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
        const QWidget* widget) const override
    {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        if (!NightVision::enabled() || !fusion)
            return;
        // Focus shows on a text field whenever it has it, on a button after keyboard moves (as by day).
        const bool focus = (option->state & State_HasFocus)
            && (element == PE_FrameLineEdit || (option->state & State_KeyboardFocusChange));
        const bool enabled = option->state & State_Enabled;
        const QColor outline = red(!enabled ? DisabledFrameRed : focus ? TextRed : FrameRed);
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing, true);
        painter->setPen(outline);
        painter->setBrush(Qt::NoBrush);
        const QRectF box = QRectF(option->rect).adjusted(0.5, 0.5, -0.5, -0.5);
        switch (element) {
        case PE_FrameLineEdit:
            painter->drawRoundedRect(box, 2, 2);
            break;
        case PE_Frame: // the log box
            painter->drawRect(box);
            break;
        case PE_PanelButtonCommand:
            if (focus && enabled)
                painter->drawRoundedRect(box.adjusted(0, 1, -1, 0), 2, 2);
            break;
        case PE_IndicatorCheckBox:
            painter->drawRect(box.adjusted(0, 0, -1, -1));
            break;
        case PE_IndicatorRadioButton: {
            // The same circle as the style's own outline.
            const QRect check = option->rect.adjusted(0, 0, -1, -1);
            const qreal radius = (check.width() + (check.width() + 1) % 2) / 2.0 - 1;
            painter->drawEllipse(QPointF(check.center() + QPoint(1, 1)), radius, radius);
            break;
        }
        default:
            break;
        }
        painter->restore();
    }

private:
    bool fusion; // the frames drawn over are Fusion's
};

// Tooltips keep a palette of their own; the style sheet reaches them whatever the style.
const char* const NightStyleSheet
    = "QToolTip { color: #aa0000; background-color: #140000; border: 1px solid #500000; }";

struct DayLook {
    QPalette palette;
    QPalette toolTips;
    QString styleSheet;
};
std::optional<DayLook> day; // set while night vision is on
std::function<void(bool)> shortcutToggled;

// Ctrl+Shift+N, seen before any widget: a shortcut would not fire while a modal box is open.
class ShortcutFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            const auto modifiers = key->modifiers()
                & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier | Qt::MetaModifier);
            if (key->key() == Qt::Key_N && modifiers == (Qt::ControlModifier | Qt::ShiftModifier)) {
                if (!key->isAutoRepeat()) {
                    NightVision::toggle();
                    if (shortcutToggled)
                        shortcutToggled(NightVision::enabled());
                }
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

// A message box open while the colours change takes its icons again from the style, which
// tints them at night (its buttons have icons on some desktops only).
void refreshOpenBoxes()
{
    const std::pair<QMessageBox::StandardButton, QStyle::StandardPixmap> buttonIcons[] = {
        { QMessageBox::Ok, QStyle::SP_DialogOkButton },
        { QMessageBox::Cancel, QStyle::SP_DialogCancelButton },
        { QMessageBox::Yes, QStyle::SP_DialogYesButton },
        { QMessageBox::No, QStyle::SP_DialogNoButton },
        { QMessageBox::Close, QStyle::SP_DialogCloseButton },
    };
    for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* box = qobject_cast<QMessageBox*>(w);
        if (!box || !box->isVisible())
            continue;
        if (box->icon() != QMessageBox::NoIcon)
            box->setIcon(box->icon());
        for (const auto& [standard, pixmap] : buttonIcons)
            if (QAbstractButton* button = box->button(standard); button && !button->icon().isNull())
                button->setIcon(box->style()->standardIcon(pixmap, nullptr, button));
    }
}

} // namespace

void NightVision::listenForShortcut()
{
    static QPointer<ShortcutFilter> filter; // goes with the application
    if (filter)
        return;
    filter = new ShortcutFilter(qApp);
    qApp->installEventFilter(filter);
}

void NightVision::onShortcutToggled(std::function<void(bool)> toggled)
{
    shortcutToggled = std::move(toggled);
}

void NightVision::setEnabled(bool on)
{
    if (on == enabled())
        return;
    if (on) {
        day = DayLook { QApplication::palette(), QToolTip::palette(), qApp->styleSheet() };
        // Put in once and kept: by day it draws exactly as the style it wraps.
        if (!dynamic_cast<NightStyle*>(QApplication::style()))
            if (QStyle* same = QStyleFactory::create(QApplication::style()->name()))
                QApplication::setStyle(new NightStyle(same));
        const QPalette night = nightPalette();
        QApplication::setPalette(night);
        QToolTip::setPalette(night);
        qApp->setStyleSheet(day->styleSheet + QLatin1Char('\n') + QLatin1String(NightStyleSheet));
    } else {
        const DayLook restore = *day;
        day.reset();
        qApp->setStyleSheet(restore.styleSheet);
        QToolTip::setPalette(restore.toolTips);
        QApplication::setPalette(restore.palette);
    }
    refreshOpenBoxes();
}

bool NightVision::enabled()
{
    return day.has_value();
}

QPixmap NightVision::tinted(const QPixmap& icon)
{
    QImage image = icon.toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            // Light parts become bright red and coloured ones a darker red, so the shapes still show.
            const QRgb c = line[x];
            const int brightest = std::max({ qRed(c), qGreen(c), qBlue(c) });
            const int level = (qGray(c) + brightest) / 2 * IconRed / 255;
            line[x] = qRgba(level, 0, 0, qAlpha(line[x]));
        }
    }
    QPixmap result = QPixmap::fromImage(image);
    result.setDevicePixelRatio(icon.devicePixelRatio());
    return result;
}

} // namespace platform::qt
