#pragma once

// Every window of the program, created once at start-up in a fixed order and
// kept until the program ends: windows are shown and hidden, never destroyed.
//
// To add a window: give it a member below, create it in the constructor at its
// place in the order with create<...>(), and connect the console's hooks
// (mainWindow().hooks) that open it.

#include <QWidget>

#include <memory>
#include <vector>

namespace kuzelna {

struct MatchState;
class MainWindow;
class KeypadWindow;
class KindOfGameDialog;
class StartupSettingsWindow;
class ManualTeamNamesWindow;

class WindowSet {
public:
    explicit WindowSet(MatchState& state);
    ~WindowSet();
    WindowSet(const WindowSet&) = delete;
    WindowSet& operator=(const WindowSet&) = delete;

    MainWindow& mainWindow() const { return *main_; }
    KeypadWindow& keypad() const { return *keypad_; }
    KindOfGameDialog& kindOfGame() const { return *kindOfGame_; }
    StartupSettingsWindow& startupSettings() const { return *startupSettings_; }
    ManualTeamNamesWindow& manualTeamNames() const { return *manualTeamNames_; }

    // Every window in the order it was created, the console first.
    const std::vector<QWidget*>& windows() const { return order_; }

    // Shows a hidden window or hides a shown one.
    static void toggle(QWidget& window);
    // Hides and shows a window again, which brings it to the front.
    static void bringToFront(QWidget& window);

private:
    template <class Window, class... Args> Window* create(Args&&... args) {
        auto window = std::make_unique<Window>(std::forward<Args>(args)...);
        Window* raw = window.get();
        order_.push_back(raw);
        owned_.push_back(std::move(window));
        return raw;
    }

    MatchState& state_;
    std::vector<QWidget*> order_;
    std::vector<std::unique_ptr<QWidget>> owned_; // destroyed in reverse order of creation

    MainWindow* main_ = nullptr;
    KeypadWindow* keypad_ = nullptr;
    KindOfGameDialog* kindOfGame_ = nullptr;
    StartupSettingsWindow* startupSettings_ = nullptr;
    ManualTeamNamesWindow* manualTeamNames_ = nullptr;
};

} // namespace kuzelna
