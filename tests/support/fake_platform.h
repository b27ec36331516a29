// A windowing backend without a screen: dialogs "run" by playing a script of
// user actions, and every call the framework makes is recorded for the test.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "framework/dialog.h"
#include "framework/dialog_template.h"
#include "framework/menu.h"
#include "framework/platform.h"

struct fw::IconHandle {
  UINT id;
};

namespace chronolist::test {

class FakePeer final : public fw::WindowPeer {
 public:
  // What the test sets up.
  bool iconic = false;
  fw::CRect client{0, 0, 250, 102};
  fw::CRect window{0, 0, 262, 138};
  fw::CRect workArea{0, 0, 1280, 800};
  bool enabled = true;

  // What the framework did.
  bool ended = false;
  int result = 0;
  std::vector<std::string> calls;  // in order
  fw::HICON bigIcon = nullptr;
  fw::HICON smallIcon = nullptr;
  std::vector<std::pair<int, int>> iconsDrawn;

  class Context final : public fw::PaintContext {
   public:
    explicit Context(FakePeer& peer) : peer_(peer) {}
    void DrawIcon(int x, int y, fw::HICON) override {
      peer_.calls.push_back("DrawIcon");
      peer_.iconsDrawn.emplace_back(x, y);
    }
    void EraseBackground() override { peer_.calls.push_back("EraseBackground"); }

   private:
    FakePeer& peer_;
  };
  Context paint{*this};
  bool painting = false;

  bool IsIconic() const override { return iconic; }
  fw::CRect GetClientRect() const override { return client; }
  fw::CRect GetWindowRect() const override { return window; }
  void MoveTo(int left, int top) override {
    calls.push_back("MoveTo " + std::to_string(left) + "," + std::to_string(top));
    window = {left, top, left + window.Width(), top + window.Height()};
  }
  fw::CRect GetWorkArea() const override { return workArea; }
  bool IsEnabled() const override { return enabled; }
  void Enable(bool enable) override {
    calls.push_back(enable ? "Enable" : "Disable");
    enabled = enable;
  }
  fw::HICON SetIcon(fw::WPARAM which, fw::HICON icon) override {
    calls.push_back(which == fw::ICON_BIG ? "SetIcon big" : "SetIcon small");
    fw::HICON& slot = which == fw::ICON_BIG ? bigIcon : smallIcon;
    fw::HICON previous = slot;
    slot = icon;
    return previous;
  }
  void EndModalLoop(int value) override {
    calls.push_back("EndModalLoop " + std::to_string(value));
    if (!ended) {
      ended = true;
      result = value;
    }
  }
  fw::PaintContext* BeginPaint() override {
    calls.push_back("BeginPaint");
    return painting ? &paint : nullptr;
  }
  void EndPaint(fw::PaintContext*) override { calls.push_back("EndPaint"); }
  void DefaultPaint() override { calls.push_back("DefaultPaint"); }
  void StartMoveByKeyboard() override { calls.push_back("StartMoveByKeyboard"); }
  void ShowSystemMenu() override { calls.push_back("ShowSystemMenu"); }
  void SystemMenuAppended(const fw::MenuItem& item) override {
    calls.push_back(item.IsSeparator() ? "AppendMenu separator"
                                       : "AppendMenu " + std::to_string(item.id));
  }
};

class FakePlatform final : public fw::Platform {
 public:
  using Script = std::function<void(fw::CDialog&, FakePeer&)>;

  FakePlatform() : previous_(fw::SetPlatform(this)) {}
  FakePlatform(const FakePlatform&) = delete;
  FakePlatform& operator=(const FakePlatform&) = delete;
  ~FakePlatform() override { fw::SetPlatform(previous_); }

  // What the user does while dialog `templateId` is up; without a script
  // the dialog is closed with Cancel.
  std::map<fw::UINT, Script> scripts;
  bool failToCreate = false;
  bool withoutSystemMenus = false;  // as if the system gave windows none

  struct Run {
    fw::UINT templateId;
    fw::CWnd* owner;
    fw::BOOL focusFirst;
    std::vector<std::string> calls;
    fw::HICON bigIcon;
    fw::HICON smallIcon;
    fw::CRect finalWindow;
    std::vector<fw::MenuItem> systemMenu;  // as the user would find it
  };
  std::vector<Run> runs;
  std::vector<std::pair<std::string, std::string>> messages;  // caption, text
  std::vector<fw::UINT> messageTypes;                         // of each message
  std::vector<fw::UINT> iconsLoaded;

  fw::INT_PTR RunModalDialog(fw::CDialog& dialog, const fw::DialogTemplate& dialogTemplate,
                             fw::CWnd* owner) override {
    if (failToCreate) {
      return -1;
    }
    FakePeer peer;
    dialog.AttachPeer(&peer, (dialogTemplate.style & fw::WS_SYSMENU) != 0 && !withoutSystemMenus);
    const fw::BOOL focusFirst = dialog.RunInitDialog(owner);
    if (!peer.ended) {
      const auto script = scripts.find(dialogTemplate.id);
      if (script != scripts.end()) {
        script->second(dialog, peer);
      } else {
        dialog.DeliverMessage(fw::WM_COMMAND, fw::IDCANCEL, 0);
      }
    }
    std::vector<fw::MenuItem> menu;
    if (const fw::CMenu* systemMenu = dialog.GetSystemMenu(FALSE)) {
      menu = systemMenu->Items();
    }
    dialog.DetachPeer();
    runs.push_back({dialogTemplate.id, owner, focusFirst, peer.calls, peer.bigIcon, peer.smallIcon,
                    peer.window, std::move(menu)});
    return peer.ended ? peer.result : -1;
  }

  fw::HICON LoadIcon(fw::UINT id) override {
    iconsLoaded.push_back(id);
    auto found = icons_.find(id);
    if (found == icons_.end()) {
      found = icons_.emplace(id, fw::IconHandle{id}).first;
    }
    return &found->second;
  }

  int GetSystemMetrics(int index) const override {
    return index == fw::SM_CXICON || index == fw::SM_CYICON ? 32 : 0;
  }

  int ShowMessage(fw::CWnd*, const std::string& caption, const std::string& text,
                  fw::UINT type) override {
    messages.emplace_back(caption, text);
    messageTypes.push_back(type);
    return fw::IDOK;
  }

 private:
  fw::Platform* previous_;
  std::map<fw::UINT, fw::IconHandle> icons_;
};

}  // namespace chronolist::test
