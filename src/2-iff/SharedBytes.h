#pragma once
// An immutable run of bytes that either views part of a shared buffer (a
// loaded file's image) or owns a buffer of its own. Every copy shares the
// buffer's ownership, so a view stays valid for as long as any copy lives,
// whatever happens to the object it was taken from (on the thread that holds
// the buffer). Assigning a std::string (or text) makes it own those bytes.
//
// It reads like a const std::string: size(), data(), operator[], find(),
// substr() and compare(), and it converts to std::string_view; str() makes a
// std::string copy.

#include <cassert>
#include <cstddef>
#include <iosfwd>
#include <string>
#include <string_view>
#include <utility>

namespace qm {

// An immutable std::string with a count of its holders, freed with the last
// one. The count is a plain integer, not an atomic one: a load creates and a
// reload drops thousands of holders of one buffer, and the program runs on
// one thread. Copies of one buffer must stay on one thread.
class SharedBuffer {
 public:
  SharedBuffer() = default;
  explicit SharedBuffer(std::string bytes) : block_(new Block{1, std::move(bytes)}) {}

  SharedBuffer(const SharedBuffer& other) noexcept : block_(other.block_) { Hold(); }
  SharedBuffer& operator=(const SharedBuffer& other) noexcept {
    if (block_ != other.block_) {
      Release();
      block_ = other.block_;
      Hold();
    }
    return *this;
  }
  SharedBuffer(SharedBuffer&& other) noexcept : block_(std::exchange(other.block_, nullptr)) {}
  SharedBuffer& operator=(SharedBuffer&& other) noexcept {
    if (this != &other) {
      Release();
      block_ = std::exchange(other.block_, nullptr);
    }
    return *this;
  }
  ~SharedBuffer() { Release(); }

  explicit operator bool() const { return block_ != nullptr; }
  // The bytes; only while this holds a buffer.
  const std::string& operator*() const { return block_->bytes; }
  const std::string* operator->() const { return &block_->bytes; }

 private:
  struct Block {
    size_t holders;
    const std::string bytes;
  };

  void Hold() const {
    if (block_ != nullptr) ++block_->holders;
  }
  void Release() {
    if (block_ != nullptr && --block_->holders == 0) delete block_;
    block_ = nullptr;
  }

  Block* block_ = nullptr;
};

class SharedBytes {
 public:
  static constexpr size_t npos = std::string_view::npos;

  SharedBytes() = default;
  // Implicit, so that a std::string or text can be assigned: owns a copy.
  SharedBytes(std::string bytes);
  SharedBytes(const char* text) : SharedBytes(std::string(text)) {}
  explicit SharedBytes(std::string_view bytes) : SharedBytes(std::string(bytes)) {}
  // Views `part`, which lies inside `owner`'s bytes.
  SharedBytes(SharedBuffer owner, std::string_view part)
      : data_(part.data()), size_(part.size()), owner_(std::move(owner)) {
    assert(owner_ && part.data() >= owner_->data() &&
           part.size() <= owner_->size() - static_cast<size_t>(part.data() - owner_->data()));
  }

  SharedBytes(const SharedBytes&) = default;
  SharedBytes& operator=(const SharedBytes&) = default;
  // A moved-from value is empty, never a view without its owner.
  SharedBytes(SharedBytes&& other) noexcept
      : data_(std::exchange(other.data_, "")),
        size_(std::exchange(other.size_, 0)),
        owner_(std::move(other.owner_)) {}
  SharedBytes& operator=(SharedBytes&& other) noexcept {
    if (this != &other) {
      data_ = std::exchange(other.data_, "");
      size_ = std::exchange(other.size_, 0);
      owner_ = std::move(other.owner_);
    }
    return *this;
  }
  ~SharedBytes() = default;
  const char* data() const { return data_; }
  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  const char* begin() const { return data_; }
  const char* end() const { return data_ + size_; }
  char operator[](size_t i) const { return data_[i]; }

  std::string_view view() const { return {data_, size_}; }
  operator std::string_view() const { return view(); }
  std::string str() const { return std::string(data_, size_); }

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
  const char* data_ = "";
  size_t size_ = 0;
  SharedBuffer owner_;  // none for empty bytes
};

std::ostream& operator<<(std::ostream& out, const SharedBytes& bytes);

}  // namespace qm
