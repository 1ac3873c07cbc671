// The error state of late-bound code. A failing call raises a RaisedError;
// code that runs "on error resume next" catches it into an Err and goes on.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>

#include "quorvale/core/errors.h"

namespace quorvale {

class RaisedError : public std::runtime_error {
 public:
  RaisedError(std::int32_t number, std::string description)
      : std::runtime_error(description), number_(number) {}
  std::int32_t Number() const { return number_; }

 private:
  std::int32_t number_;
};

class Err {
 public:
  std::int32_t Number() const { return number_; }
  const std::string& Description() const { return description_; }
  explicit operator bool() const { return number_ != 0; }

  void Clear() {
    number_ = 0;
    description_.clear();
  }
  void Set(std::int32_t number, std::string description) {
    number_ = number;
    description_ = std::move(description);
  }
  [[noreturn]] void Raise(std::int32_t number, std::string description) {
    Set(number, description);
    throw RaisedError(number, std::move(description));
  }

  // Runs one statement with resume-on-error: an error it raises is recorded
  // and the statement is skipped. Returns true when the statement completed.
  template <class F>
  bool Resume(F&& statement) {
    try {
      std::forward<F>(statement)();
      return true;
    } catch (const RaisedError& e) {
      Set(e.Number(), e.what());
    } catch (const std::exception& e) {
      Set(ErrorNumber(Error::kInternal), e.what());
    }
    return false;
  }

 private:
  std::int32_t number_ = 0;
  std::string description_;
};

}  // namespace quorvale
