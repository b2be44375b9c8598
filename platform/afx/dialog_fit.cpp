#include "platform/afx/dialog_fit_p.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

#include "platform/afx/caption_row_p.h"
#include "platform/afx/dialog_units_p.h"
#include "platform/afx/look_p.h"
#include "platform/afx/placement_p.h"
#include "platform/afx/resource.h"
#include "platform/afx/widgets_p.h"

namespace afx_detail {

namespace {

// Room for a window manager's frame and caption around a dialog on a desktop.
constexpr QSize kFrameRoom(16, 64);

bool IsWayland() {
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

QSize DialogUnitsOf(const Window& dialog) {
    const AfxDialogTemplate* t = dialog.dialogTemplate;
    return t ? QSize(t->cx, t->cy) : QSize(1, 1);
}

QSize SizeIn(QSizeF units, const Window& dialog) {
    return MapDialogRect(units, QRectF(QPointF(0, 0), DialogUnitsOf(dialog))).size();
}

QFont OwnFont(const Window& dialog) {
    const AfxDialogTemplate* t = dialog.dialogTemplate;
    return t ? DialogFont(t->fontName, t->pointSize) : dialog.widget->font();
}

int CaptionHeight(const Window& dialog, const QFont& font) {
    return dialog.caption ? CaptionRow::HeightFor(font) : 0;
}

// The dialog and everything in it at the font and units.
void Apply(Window& dialog, const QFont& font, QSizeF units, int captionHeight) {
    const std::vector<Window*> tree = Descendants(dialog.hwnd);
    dialog.captionHeight = captionHeight;
    // Every window's own: Qt does not pass a font on to a child styled by a style sheet.
    for (Window* w : tree) {
        if (w->kind == Kind::Dialog) {
            w->baseUnits = units;
        }
        if (w->widget) {
            w->widget->setFont(font);
        }
    }
    if (auto* row = static_cast<CaptionRow*>(dialog.caption.data())) {
        row->Fit(font);
    }
    for (Window* w : tree) {
        if (w != &dialog) {
            Place(*w);
        }
    }
}

// Every control inside its dialog, every tab row's tabs inside the row.
bool LaidOutWhole(const Window& dialog) {
    for (const Window* w : Descendants(dialog.hwnd)) {
        const Window* parent = Find(w->parent);
        if (!w->widget) {
            continue;
        }
        if (parent && parent->kind == Kind::Dialog && parent->widget &&
            !parent->widget->rect().contains(w->widget->geometry())) {
            return false;
        }
        if (w->kind == Kind::TabControl) {
            const auto* tab = static_cast<const TabControl*>(w->widget.data());
            const int count = tab->Row()->count();
            if (count > 0 && tab->ItemRect(count - 1).right() >= tab->width()) {
                return false;
            }
        }
    }
    return true;
}

// Whether a caption row must be drawn: none of a window manager's is there.
bool WantsOwnCaption(const Window& dialog) {
    if ((dialog.style & WS_CAPTION) != WS_CAPTION || !dialog.widget) {
        return false;
    }
    if (dialog.widget->windowState() & Qt::WindowFullScreen) {
        return true;
    }
    if (IsWayland()) {
        return false;  // the compositor or Qt decorates the window; its margins tell nothing
    }
    const QWindow* handle = dialog.widget->windowHandle();
    if (!handle || !handle->isExposed()) {
        return dialog.caption != nullptr;  // a hidden window keeps what it had
    }
    return handle->frameMargins().isNull();
}

void Refit(Window& dialog) {
    const QSize size = dialog.widget->size();
    const QSize units = DialogUnitsOf(dialog);
    const QFont own = OwnFont(dialog);
    const int ownCaption = CaptionHeight(dialog, own);
    if (SizeIn(BaseUnits(own), dialog) == size - QSize(0, ownCaption)) {
        Apply(dialog, own, BaseUnits(own), ownCaption);
        return;
    }
    const auto unitsFor = [&](const QFont& font) {
        return UnitsSpanning(size - QSize(0, CaptionHeight(dialog, font)), units);
    };
    const auto fits = [&](const QFont& font) {
        Apply(dialog, font, unitsFor(font), CaptionHeight(dialog, font));
        return LaidOutWhole(dialog);
    };
    const QFont font = LargestFontWithin(own, unitsFor, fits);
    Apply(dialog, font, unitsFor(font), CaptionHeight(dialog, font));
}

}  // namespace

bool PlacedByWindowSystem(const QWidget& window) {
    return IsWayland() || (window.windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen));
}

void FitToScreen(Window& dialog) {
    QWidget& widget = *dialog.widget;
    QScreen* screen = QGuiApplication::screenAt(QCursor::pos());
    if (!screen) {
        screen = QGuiApplication::primaryScreen();
    }
    widget.setScreen(screen);
    const QSize size = SizeIn(dialog.baseUnits, dialog);
    widget.resize(size);
    dialog.fitted = size;
    const QRect area = screen ? screen->availableGeometry() : QRect(QPoint(0, 0), size);
    if (area.width() >= size.width() + kFrameRoom.width() &&
        area.height() >= size.height() + kFrameRoom.height()) {
        return;
    }
    if (widget.windowFlags() & Qt::CustomizeWindowHint) {
        widget.setWindowFlag(Qt::WindowMaximizeButtonHint);
    }
    widget.setGeometry(area);  // where nothing maximises it (no window manager)
    widget.setWindowState(widget.windowState() | Qt::WindowMaximized);
    FitToSize(dialog);
}

void FitToSize(Window& dialog) {
    if (!dialog.widget || dialog.widget->size() == dialog.fitted) {
        return;
    }
    dialog.fitted = dialog.widget->size();
    Refit(dialog);
}

void CheckOwnCaption(Window& dialog) {
    const bool wanted = WantsOwnCaption(dialog);
    if (!dialog.widget || wanted == (dialog.caption != nullptr)) {
        return;
    }
    QWidget& widget = *dialog.widget;
    if (wanted) {
        dialog.caption =
            new CaptionRow(&widget, widget.windowTitle(), dialog.exStyle & WS_EX_CAPTIONOKBTN);
        dialog.caption->show();
    } else {
        QWidget* row = dialog.caption;
        dialog.caption = nullptr;
        delete row;
    }
    if (PlacedByWindowSystem(widget)) {
        dialog.fitted = widget.size();
        Refit(dialog);
        return;
    }
    // A window of its own size grows by the row: the client area keeps its size.
    const QFont font = widget.font();
    const int caption = CaptionHeight(dialog, font);
    const QSize client = widget.size() - QSize(0, dialog.captionHeight);
    Apply(dialog, font, dialog.baseUnits, caption);
    dialog.fitted = client + QSize(0, caption);
    widget.resize(dialog.fitted);
}

}  // namespace afx_detail
