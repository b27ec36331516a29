#include "framework/win32/win32_text_fit.h"

#include <string>
#include <vector>

#include "framework/text_fit.h"

// After the framework's headers, on purpose: see windows_api.h.
#include "framework/win32/windows_api.h"
#include "timelist/win32_text.h"

namespace fw::win32 {

namespace {

// What `item`'s text needs in `control`, drawn as the control draws it: a
// static wraps at its width when it is two lines tall or more, and a button
// keeps its text clear of its edges and focus rectangle.
void Measure(HWND control, const DialogItemTemplate& item, FitControl& fit) {
  const std::wstring text = chronolist::Wide(item.text);
  const WindowDC controlDC(control);
  ::HDC dc = controlDC.get();
  // The control's font, which the control owns: selected, not deleted.
  const SelectedObject font(dc, reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)));
  TEXTMETRICW metrics{};
  ::GetTextMetricsW(dc, &metrics);
  UINT format = DT_CALCRECT | DT_EXPANDTABS;
  if (item.IsText() && (item.style & SS_NOPREFIX) != 0) {
    format |= DT_NOPREFIX;
  }
  ::RECT extent{0, 0, fit.rect.Width(), 0};
  if (item.IsText() && fit.rect.Height() >= 2 * metrics.tmHeight) {
    ::DrawTextW(dc, text.c_str(), -1, &extent, format | DT_WORDBREAK);
    fit.neededHeight = extent.bottom;
  } else {
    ::DrawTextW(dc, text.c_str(), -1, &extent, format | DT_SINGLELINE);
    const int padding = item.IsPushButton() ? metrics.tmAveCharWidth : 0;
    fit.neededWidth = extent.right + padding;
    fit.neededHeight = extent.bottom + padding / 2;
  }
}

}  // namespace

void FitDialogToTexts(HWND dialog, const DialogTemplate& dialogTemplate) {
  // The dialog manager makes one child per item, in template order.
  std::vector<HWND> children;
  std::vector<FitControl> controls;
  HWND child = ::GetWindow(dialog, GW_CHILD);
  for (const DialogItemTemplate& item : dialogTemplate.items) {
    if (child == nullptr) {
      return;
    }
    ::RECT rect{};
    ::GetWindowRect(child, &rect);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<::POINT*>(&rect), 2);
    FitControl fit{{rect.left, rect.top, rect.right, rect.bottom}, 0, 0, item.IsPushButton()};
    if (item.IsText() || item.IsPushButton()) {
      Measure(child, item, fit);
    }
    children.push_back(child);
    controls.push_back(fit);
    child = ::GetWindow(child, GW_HWNDNEXT);
  }

  ::RECT client{};
  ::GetClientRect(dialog, &client);
  const FittedDialog fitted = FitControlsToText(client.right, client.bottom, controls);
  for (std::size_t i = 0; i < children.size(); ++i) {
    const CRect& to = fitted.rects[i];
    if (!(to == controls[i].rect)) {
      ::SetWindowPos(children[i], nullptr, to.left, to.top, to.Width(), to.Height(),
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
  }
  if (fitted.clientWidth != client.right || fitted.clientHeight != client.bottom) {
    ::RECT window{};
    ::GetWindowRect(dialog, &window);
    ::SetWindowPos(dialog, nullptr, 0, 0,
                   window.right - window.left + fitted.clientWidth - client.right,
                   window.bottom - window.top + fitted.clientHeight - client.bottom,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

}  // namespace fw::win32
