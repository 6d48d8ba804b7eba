// Reading a subcommand's arguments: options ("--name VALUE", "--name=VALUE",
// "-o VALUE") and positional operands.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace kvt::cli {

// A bad command line; main prints it with the command's usage line, exit 2.
struct UsageError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

class Arguments {
 public:
  explicit Arguments(std::vector<std::string> args) : args_(std::move(args)) {}

  // The next option's name ("--rate", "-o"), or nothing when the next
  // argument is an operand or none is left.
  std::optional<std::string> next_option();
  // The value of the option just read.
  std::string value();
  // An integer value that must be one of `allowed`.
  int choice(const std::vector<int>& allowed);
  // An integer value from `low` to `high`.
  int number(int low, int high);
  std::optional<std::string> next_operand();
  bool done() const { return pos_ >= args_.size() && !pending_; }

 private:
  std::optional<int> integer_value(std::string& text);

  std::vector<std::string> args_;
  std::size_t pos_ = 0;
  std::string option_;
  std::optional<std::string> pending_;
  bool options_ended_ = false;  // after "--"   // the value after "=" of the option just read
};

}  // namespace kvt::cli
