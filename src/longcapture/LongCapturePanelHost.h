#pragma once

#include <QRect>
#include <QRegion>
#include <QWidget>
#include <initializer_list>

namespace tessal {

// One window over a whole display holding a long capture's panels (the ring around the region,
// the preview, the controls) where the desktop places every window itself and would put them
// over the region (GNOME, KDE): transparent, it shows the screen through everywhere but the
// panels, and takes the pointer only over those that take it, so the wheel and the mouse reach
// the window being captured. It is a tool window, so the capture's keys work while it has the
// focus. It is maximized, not full-screen: a desktop must show black behind a full-screen window
// that is not opaque (GNOME does). So it covers the display less its panels and docks, and as
// the desktop does not say where that lies, the capture finds out from the screen (origin()).
class LongCapturePanelHost final : public QWidget {
  public:
    // Covers the display whose geometry (Qt global) is `screen`.
    explicit LongCapturePanelHost(const QRect& screen);
    ~LongCapturePanelHost() override;

    // Makes `panels` (top-level windows until now) children of this window; those marked
    // opaque paint their own background, as a window's would be.
    void adopt(std::initializer_list<QWidget*> panels, std::initializer_list<QWidget*> opaque);
    // What takes the pointer (this window's coordinates): every shown panel that takes the
    // mouse, by its shape where it has one. Never empty: the desktop would read that as all.
    QRegion inputRegion() const;
    // Tells the desktop inputRegion() again (a panel changed its shape).
    void refreshInput();
    void showOnScreen();
    // Where this window's top-left lies (Qt global): the display's top-left until told better.
    QPoint origin() const { return origin_; }
    void setOrigin(QPoint origin) { origin_ = origin; }
    // The part of the display this window covers (Qt global).
    QRect shownRect() const { return QRect(origin_, size()).intersected(screen_); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QRect screen_;
    QPoint origin_;
};

// Moves `panel`'s top-left (decorations included) to `topLeft` (Qt global), in its host's
// coordinates when it has one.
void placePanel(QWidget* panel, const QPoint& topLeft);
// Where `panel` lies, decorations included (Qt global).
QRect panelFrame(const QWidget* panel);

}  // namespace tessal
