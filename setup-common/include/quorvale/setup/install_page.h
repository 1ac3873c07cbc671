// The setup programs' progress page, Install: the progress page with the
// setup's header; its first tick runs the program's install sequence.
#pragma once

#include "quorvale/setup/progress_page.h"

namespace quorvale::setup {

class InstallPage : public ProgressPage {
 public:
  explicit InstallPage(SetupProgram& program);

  ui::Label Label2{*this, "Label2"};
  ui::Label Label3{*this, "Label3"};
  ui::Frame Frame1{*this, "Frame1"};
  ui::Image Image1{*this, "Image1"};
};

}  // namespace quorvale::setup
