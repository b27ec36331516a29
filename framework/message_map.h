// Message maps: a static, ordered table of typed entries beside the class it
// serves. Handlers are member-function pointers checked by the compiler; a
// map is searched in order, then its base class's map.
//
//   BEGIN_MESSAGE_MAP(CMyDialog, fw::CDialog)
//     ON_WM_PAINT()
//     ON_COMMAND(ID_HELP, &CMyDialog::OnHelp)
//   END_MESSAGE_MAP()
#pragma once

#include <cstddef>
#include <initializer_list>
#include <variant>
#include <vector>

#include "framework/types.h"

namespace fw {

class CCmdTarget;

// What an entry answers: a message, and for WM_COMMAND the command id.
struct MessageKey {
  UINT message = 0;
  UINT commandId = 0;
  friend bool operator==(const MessageKey&, const MessageKey&) = default;
};

class MessageMap {
 public:
  explicit MessageMap(const MessageMap* base) : base_(base) {}
  virtual ~MessageMap() = default;

  const MessageMap* base() const { return base_; }
  virtual std::size_t size() const = 0;
  virtual MessageKey KeyAt(std::size_t index) const = 0;
  // Calls the handler of entry `index` on `target`, which must be of the
  // map's class; returns what the handler returns (0 for void handlers).
  virtual LRESULT Invoke(std::size_t index, CCmdTarget& target, WPARAM wParam,
                         LPARAM lParam) const = 0;

 private:
  const MessageMap* base_;
};

// The first entry, most derived map first, that answers `message`; for
// WM_COMMAND the command id is LOWORD(wParam).
struct MessageMapHit {
  const MessageMap* map = nullptr;
  std::size_t index = 0;
  explicit operator bool() const { return map != nullptr; }
};
MessageMapHit FindMessageEntry(const MessageMap* map, UINT message, WPARAM wParam);

template <class T>
class TypedMessageMap final : public MessageMap {
 public:
  using Class = T;
  using Handler = std::variant<void (T::*)(),              // WM_COMMAND, WM_PAINT
                               void (T::*)(UINT, LPARAM),  // WM_SYSCOMMAND
                               HCURSOR (T::*)()            // WM_QUERYDRAGICON
                               >;
  struct Entry {
    MessageKey key;
    Handler handler;
  };

  TypedMessageMap(const MessageMap* base, std::initializer_list<Entry> entries)
      : MessageMap(base), entries_(entries) {}

  std::size_t size() const override { return entries_.size(); }
  MessageKey KeyAt(std::size_t index) const override { return entries_[index].key; }

  LRESULT Invoke(std::size_t index, CCmdTarget& target, WPARAM wParam,
                 LPARAM lParam) const override {
    T& self = static_cast<T&>(target);
    struct Call {
      T& self;
      WPARAM wParam;
      LPARAM lParam;
      LRESULT operator()(void (T::*fn)()) const { return (self.*fn)(), 0; }
      LRESULT operator()(void (T::*fn)(UINT, LPARAM)) const {
        return (self.*fn)(static_cast<UINT>(wParam), lParam), 0;
      }
      LRESULT operator()(HCURSOR (T::*fn)()) const {
        return reinterpret_cast<LRESULT>((self.*fn)());
      }
    };
    return std::visit(Call{self, wParam, lParam}, entries_[index].handler);
  }

  // Entry builders: they take the handler as a member of T, so a handler
  // inherited from a base class converts and a wrong signature does not.
  static Entry Command(UINT id, void (T::*fn)()) { return {{WM_COMMAND, id}, fn}; }
  static Entry SysCommand(void (T::*fn)(UINT, LPARAM)) { return {{WM_SYSCOMMAND, 0}, fn}; }
  static Entry Paint(void (T::*fn)()) { return {{WM_PAINT, 0}, fn}; }
  static Entry QueryDragIcon(HCURSOR (T::*fn)()) { return {{WM_QUERYDRAGICON, 0}, fn}; }

 private:
  std::vector<Entry> entries_;
};

}  // namespace fw

// Declares a class's map, in the class body.
#define DECLARE_MESSAGE_MAP()                             \
 public:                                                  \
  const ::fw::MessageMap* GetMessageMap() const override; \
                                                          \
 protected:                                               \
  static const ::fw::MessageMap* GetThisMessageMap();

#define BEGIN_MESSAGE_MAP(theClass, baseClass)              \
  const ::fw::MessageMap* theClass::GetMessageMap() const { \
    return GetThisMessageMap();                             \
  }                                                         \
  const ::fw::MessageMap* theClass::GetThisMessageMap() {   \
    using ThisMap = ::fw::TypedMessageMap<theClass>;        \
    static const ThisMap map(baseClass::GetThisMessageMap(), {
#define END_MESSAGE_MAP() \
  });                     \
  return &map;            \
  }

#define ON_COMMAND(id, memberFn) ThisMap::Command(id, memberFn),
#define ON_WM_SYSCOMMAND() ThisMap::SysCommand(&ThisMap::Class::OnSysCommand),
#define ON_WM_PAINT() ThisMap::Paint(&ThisMap::Class::OnPaint),
#define ON_WM_QUERYDRAGICON() ThisMap::QueryDragIcon(&ThisMap::Class::OnQueryDragIcon),
