#pragma once
// An immutable run of bytes: either a view of part of a loaded file's image,
// valid for as long as the IffFile that read it (or a copy of that IffFile)
// holds the image, or bytes of its own, shared by its copies. Assigning a
// std::string (or text) makes it own those bytes.
//
// It reads like a const std::string: size(), data(), operator[], find(),
// substr() and compare(), and it converts to std::string_view; str() makes a
// std::string copy.

#include <cassert>
#include <cstddef>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

namespace qm {

class SharedBytes {
 public:
  static constexpr size_t npos = std::string_view::npos;

  SharedBytes() = default;
  // Implicit, so that a std::string or text can be assigned: owns a copy.
  SharedBytes(std::string bytes) : own_(std::make_shared<const std::string>(std::move(bytes))) {}
  SharedBytes(const char* text) : SharedBytes(std::string(text)) {}
  explicit SharedBytes(std::string_view bytes) : SharedBytes(std::string(bytes)) {}

  // A view of `part`, which lies inside `image`; valid while `image` lives.
  static SharedBytes View([[maybe_unused]] const std::string& image, std::string_view part) {
    assert(part.data() >= image.data() &&
           part.size() <= image.size() - static_cast<size_t>(part.data() - image.data()));
    SharedBytes bytes;
    bytes.view_ = part;
    return bytes;
  }

  std::string_view view() const { return own_ ? std::string_view(*own_) : view_; }
  operator std::string_view() const { return view(); }
  std::string str() const { return std::string(view()); }

  const char* data() const { return view().data(); }
  size_t size() const { return view().size(); }
  bool empty() const { return size() == 0; }
  const char* begin() const { return data(); }
  const char* end() const { return data() + size(); }
  char operator[](size_t i) const { return view()[i]; }

  // As std::string's: a position past the end throws std::out_of_range.
  std::string_view substr(size_t pos = 0, size_t n = npos) const { return view().substr(pos, n); }
  size_t find(char c, size_t pos = 0) const { return view().find(c, pos); }
  size_t find(std::string_view s, size_t pos = 0) const { return view().find(s, pos); }
  int compare(std::string_view s) const { return view().compare(s); }
  int compare(size_t pos, size_t n, std::string_view s) const { return view().compare(pos, n, s); }

  friend bool operator==(const SharedBytes& a, const SharedBytes& b) {
    return a.view() == b.view();
  }
  friend bool operator==(const SharedBytes& a, std::string_view b) { return a.view() == b; }
  friend bool operator==(const SharedBytes& a, const std::string& b) { return a.view() == b; }
  friend bool operator==(const SharedBytes& a, const char* b) { return a.view() == b; }

 private:
  std::string_view view_ = "";              // part of an image, when own_ is empty
  std::shared_ptr<const std::string> own_;  // bytes of its own
};

std::ostream& operator<<(std::ostream& out, const SharedBytes& bytes);

}  // namespace qm
