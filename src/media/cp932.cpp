#include "media/cp932.h"

#include <iconv.h>

#include <cstring>

namespace soft {
namespace {

bool IsTrailByte(unsigned char b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC); }
bool IsLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

// One conversion handle for the program's life, opened on first use.
class Cp932Decoder {
 public:
  ~Cp932Decoder() {
    if (sjis_ != reinterpret_cast<iconv_t>(-1)) iconv_close(sjis_);
  }

  const std::vector<char32_t>& Decode(const char* text, int length) {
    codes_.clear();
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    int i = 0;
    while (i < length) {
      const unsigned char b = bytes[i];
      if (b < 0x80) {
        codes_.push_back(b);
        ++i;
        continue;
      }
      int size = 1;
      if (IsLeadByte(b)) {
        if (i + 1 >= length || !IsTrailByte(bytes[i + 1])) {
          ++i;
          continue;
        }
        size = 2;
      }
      char32_t code = 0;
      if (FromCp932(text + i, size, code)) codes_.push_back(code);
      i += size;
    }
    return codes_;
  }

 private:
  bool FromCp932(const char* bytes, int size, char32_t& code) {
    if (!tried_) {
      tried_ = true;
      sjis_ = iconv_open("UTF-32LE", "CP932");
    }
    if (sjis_ == reinterpret_cast<iconv_t>(-1)) return false;
    iconv(sjis_, nullptr, nullptr, nullptr, nullptr);
    char in[2];
    std::memcpy(in, bytes, static_cast<std::size_t>(size));
    unsigned char out[8];
    char* inPtr = in;
    char* outPtr = reinterpret_cast<char*>(out);
    std::size_t inLeft = static_cast<std::size_t>(size);
    std::size_t outLeft = sizeof out;
    if (iconv(sjis_, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1) ||
        sizeof out - outLeft != 4) {
      return false;
    }
    code = static_cast<char32_t>(out[0]) | static_cast<char32_t>(out[1]) << 8 |
           static_cast<char32_t>(out[2]) << 16 | static_cast<char32_t>(out[3]) << 24;
    return true;
  }

  iconv_t sjis_ = reinterpret_cast<iconv_t>(-1);
  bool tried_ = false;
  std::vector<char32_t> codes_;
};

}  // namespace

const std::vector<char32_t>& DecodeCp932(const char* text, int length) {
  static Cp932Decoder decoder;
  return decoder.Decode(text, length);
}

}  // namespace soft
