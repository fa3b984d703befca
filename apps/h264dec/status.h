// Outcome of decoding a NAL unit or a part of it. Cheap to return on the
// decoding path: the text is a string literal and is only formatted, with
// message(), when someone reports it.
#pragma once

#include <string>

namespace h264dec {

struct Status {
  enum class Kind {
    kOk,
    kSkip,         // damaged or unusable unit: skipped, decoding goes on
    kUnsupported,  // stream outside the decoder's scope: fatal for the stream
    kRedundant,    // redundant coded slice (redundant_pic_cnt > 0): ignored
  };
  Kind kind = Kind::kOk;
  const char* what = "";  // string literal; without the "unsupported: " prefix
  int code = 0;           // library status of a failed call (KvnResult), 0 if none

  bool ok() const { return kind == Kind::kOk; }
  bool fatal() const { return kind == Kind::kUnsupported; }

  static Status success() { return Status(); }
  static Status skip(const char* what, int code = 0) { return Status{Kind::kSkip, what, code}; }
  static Status unsupported(const char* what) { return Status{Kind::kUnsupported, what, 0}; }
  static Status redundant() { return Status{Kind::kRedundant, "redundant slice", 0}; }

  // Text for the user: "unsupported: <what>" for fatal statuses,
  // "<what> (status <code>)" when a library call failed, else <what>.
  std::string message() const {
    std::string s = kind == Kind::kUnsupported ? "unsupported: " : "";
    s += what;
    if (code != 0) s += " (status " + std::to_string(code) + ")";
    return s;
  }
};

}  // namespace h264dec
