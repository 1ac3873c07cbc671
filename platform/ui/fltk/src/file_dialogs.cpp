#include "dialogs.h"
#include "fixed_window.h"
#include "fl.h"
#include "quorvale/machine/machine.h"
#include "quorvale/ui/fltk/folder_listing.h"
#include "quorvale/ui/fltk/label_text.h"
#include "widgets.h"

namespace quorvale::ui::fltk {

namespace {

constexpr const char* kUpLine = "..";

// One dialog for both uses: in folder mode it answers a folder, in file
// mode an existing file of the current folder.
struct Browse {
  const Machine* machine = nullptr;  // nullptr: no machine there, no drives
  bool files = false;
  bool must_exist = false;
  std::string current;  // "" is the list of drives
  std::vector<FolderEntry> entries;
  std::vector<std::pair<std::string, std::string>> filter;
  Fl_Hold_Browser* list = nullptr;
  Fl_Output* path = nullptr;
  Fl_Input* name = nullptr;
  Fl_Choice* kinds = nullptr;
  PushButton* ok = nullptr;
  bool done = false;
  std::optional<std::string> answer;

  std::string Pattern() const {
    if (!kinds || filter.empty()) return "*.*";
    const int i = kinds->value();
    return i >= 0 && static_cast<std::size_t>(i) < filter.size() ? filter[static_cast<std::size_t>(i)].second
                                                                 : "*.*";
  }

  void Enter(const std::string& folder) {
    current = folder;
    entries.clear();
    if (!machine) {
      current.clear();
    } else if (current.empty()) {
      for (const auto& d : Drives(*machine)) entries.push_back({d, true});
    } else {
      entries = ListFolder(*machine, current, files, Pattern());
    }
    list->clear();
    if (!current.empty()) list->add(kUpLine);
    for (const auto& e : entries) list->add((e.folder && !current.empty() ? e.name + "\\" : e.name).c_str());
    path->value(current.c_str());
    if (name) name->value("");
    Update();
  }

  // The entry of a browser line, or nullptr for the ".." line and none.
  const FolderEntry* EntryAt(int line) const {
    const int i = line - 1 - (current.empty() ? 0 : 1);
    return i >= 0 && static_cast<std::size_t>(i) < entries.size() ? &entries[static_cast<std::size_t>(i)]
                                                                  : nullptr;
  }

  std::string Selected() const {
    if (const FolderEntry* e = EntryAt(list->value())) {
      return current.empty() ? e->name : JoinWindowsPath(current, e->name);
    }
    return current;
  }

  void Update() {
    if (files) {
      const bool can = !current.empty() && name->value()[0] != '\0';
      can ? ok->activate() : ok->deactivate();
    } else {
      const std::string s = Selected();
      path->value(s.c_str());
      s.empty() ? ok->deactivate() : ok->activate();
    }
  }

  void Accept() {
    if (!files) {
      const std::string s = Selected();
      if (s.empty()) return;
      answer = s;
      done = true;
      return;
    }
    const std::string n = name->value();
    if (current.empty() || n.empty()) return;
    const std::string typed = n.size() > 1 && n[1] == ':' ? n : JoinWindowsPath(current, n);
    const auto found = machine ? FindPath(*machine, typed) : std::nullopt;
    if (!found) {
      // A name that is not there is taken as typed, unless the caller asked
      // for an existing file.
      if (must_exist) return;
      answer = typed;
      done = true;
      return;
    }
    if (found->folder) {
      Enter(found->long_path);
    } else {
      answer = found->long_path;
      done = true;
    }
  }

  static void OnList(Fl_Widget*, void* d) {
    auto* b = static_cast<Browse*>(d);
    const int line = b->list->value();
    if (line <= 0) return;
    const FolderEntry* e = b->EntryAt(line);
    const bool twice = Fl::event_clicks() > 0 && Fl::event() == FL_RELEASE;
    // Enter on a line does what a double click does; the arrows only select.
    const int key = Fl::event_key();
    const bool enter = Fl::event() == FL_KEYBOARD && (key == FL_Enter || key == FL_KP_Enter);
    if (!e) {
      if (twice || enter) b->Enter(ParentWindowsPath(b->current));
      return;
    }
    if (e->folder) {
      // Enter in the folder dialog answers the folder, as its OK does.
      if (twice || (enter && b->files))
        b->Enter(b->current.empty() ? e->name : JoinWindowsPath(b->current, e->name));
      else if (enter)
        b->Accept();
      else
        b->Update();
    } else {
      b->name->value(e->name.c_str());
      b->Update();
      if (twice || enter) b->Accept();
    }
  }
};

void OnOk(Fl_Widget*, void* d) { static_cast<Browse*>(d)->Accept(); }
void OnCancel(Fl_Widget*, void* d) { static_cast<Browse*>(d)->done = true; }
void OnName(Fl_Widget*, void* d) { static_cast<Browse*>(d)->Update(); }
void OnKind(Fl_Widget*, void* d) {
  auto* b = static_cast<Browse*>(d);
  b->Enter(b->current);
}

// A caption with an access key ("文件名(&N):") or a text shown as it is.
LabelWidget* Text(int x, int y, int w, int h, const std::string& text, bool mnemonics) {
  auto* box = new LabelWidget(x, y, w, h);
  box->SetCaption(text, mnemonics);
  box->labelfont(kFont);
  box->labelsize(kFontSize);
  return box;
}

std::optional<std::string> Run(Browse& b, const std::string& title, const std::string& prompt,
                               const std::string& start, Fl_Window* owner, const ModalIdle& idle) {
  const int w = 380, h = b.files ? 420 : 360;
  FixedWindow win(w, h, FixedWindow::Kind::Dialog);
  win.copy_label(title.c_str());
  win.color(ToFlColor(kColorButtonFace));
  int y = 10;
  if (!prompt.empty()) {
    Text(10, y, w - 20, 34, prompt, false);
    y += 38;
  }
  b.path = new ReadOnlyBox(10, y, w - 20, 24);
  b.path->textfont(kFont);
  b.path->textsize(kFontSize);
  y += 30;
  const int list_h = h - y - (b.files ? 108 : 46);
  b.list = new ListWidget(10, y, w - 20, list_h);
  b.list->format_char(0);
  b.list->textfont(kFont);
  b.list->textsize(kFontSize);
  b.list->color(FL_WHITE);
  b.list->callback(Browse::OnList, &b);
  b.list->when(FL_WHEN_CHANGED | FL_WHEN_NOT_CHANGED);
  y += list_h + 8;
  if (b.files) {
    Text(10, y + 4, 70, 24, "文件名(&N):", true);
    b.name = new EditBox(84, y, w - 94, 24);
    b.name->textfont(kFont);
    b.name->textsize(kFontSize);
    b.name->when(FL_WHEN_CHANGED);
    b.name->callback(OnName, &b);
    y += 30;
    Text(10, y + 4, 70, 24, "文件类型(&T):", true);
    b.kinds = new Fl_Choice(84, y, w - 94, 24);
    b.kinds->textfont(kFont);
    b.kinds->textsize(kFontSize);
    for (const auto& f : b.filter) {
      // A menu reads "/" as a submenu.
      std::string item;
      for (char c : FltkLabel(f.first, false)) item += c == '/' ? std::string("\\/") : std::string(1, c);
      b.kinds->add(item.c_str());
    }
    if (!b.filter.empty()) b.kinds->value(0);
    b.kinds->callback(OnKind, &b);
    y += 32;
  }
  b.ok = new PushButton(w - 170, h - 34, 75, 24);
  b.ok->copy_label(b.files ? "打开(&O)" : "确定");
  b.ok->is_default = true;
  b.ok->shortcut(FL_Enter);
  b.ok->callback(OnOk, &b);
  auto* cancel = new PushButton(w - 85, h - 34, 75, 24);
  cancel->copy_label("取消");
  cancel->callback(OnCancel, &b);
  for (Fl_Widget* c : {static_cast<Fl_Widget*>(b.ok), static_cast<Fl_Widget*>(cancel)}) {
    c->labelfont(kFont);
    c->labelsize(kFontSize);
  }
  win.end();
  win.callback(OnCancel, &b);
  win.set_modal();
  b.Enter(start);
  CentreOn(win, owner);
  win.show();
  win.TakeKeyboard();
  b.list->take_focus();
  RunModal(
      win, [&] { return b.done; }, idle);
  win.hide();
  return b.answer;
}

}  // namespace

std::optional<std::string> RunFolderDialog(const FolderRequest& request, const Machine* machine,
                                           Fl_Window* owner, const ModalIdle& idle) {
  Browse b;
  b.machine = machine;
  return Run(b, "浏览文件夹", request.title, "", owner, idle);
}

std::optional<std::string> RunFileDialog(const FileRequest& request, const Machine* machine, Fl_Window* owner,
                                         const ModalIdle& idle) {
  Browse b;
  b.machine = machine;
  b.files = true;
  b.must_exist = (request.flags & kFileMustExist) != 0;
  b.filter = request.filter;
  std::string start;
  if (machine && !request.initial_folder.empty()) {
    if (auto found = FindPath(*machine, request.initial_folder); found && found->folder)
      start = found->long_path;
  }
  return Run(b, request.title.empty() ? "打开" : request.title, "", start, owner, idle);
}

}  // namespace quorvale::ui::fltk
