// The window of one form: a widget per control, kept in step with the model.
#pragma once

#include <vector>

#include "fixed_window.h"
#include "fl.h"
#include "quorvale/ui/fltk_backend.h"
#include "quorvale/ui/form.h"

namespace quorvale::ui::fltk {

// Window frame sizes in pixels: a form's Width and Height are its outer
// size, the controls stand in the client area inside the border and the
// caption.
inline constexpr int kBorderPixels = 3;
inline constexpr int kCaptionPixels = 18;

class FormWindow : public FixedWindow {
 public:
  FormWindow(FltkBackend& backend, Form& form);
  ~FormWindow() override;

  Form& GetForm() const { return form_; }
  // Takes over what the form and its controls say now.
  void Sync();
  Fl_Widget* WidgetOf(const Control* control) const;
  Control* ControlOf(const Fl_Widget* widget) const;
  // The keys the form handles itself (Tab, Enter, Esc, Alt with a letter,
  // the arrows on an option button); true when the key was taken.
  bool HandleKey(int event);
  int handle(int event) override;
  // The widget given the focus at the last Sync.
  Fl_Widget* SyncedFocus() const { return synced_focus_; }
  // Placed on the screen at its first show.
  bool placed = false;

 private:
  struct Item {
    Control* control;
    Fl_Widget* widget;
  };
  static void WidgetCallback(Fl_Widget* w, void* data);
  static void CloseCallback(Fl_Widget* w, void* data);
  void Build();
  void SyncItem(const Item& item);
  void Place(const Item& item);

  FltkBackend& backend_;
  Form& form_;
  std::vector<Item> items_;
  Fl_Widget* synced_focus_ = nullptr;
};

}  // namespace quorvale::ui::fltk
