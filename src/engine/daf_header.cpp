#include "engine/daf_header.h"

#include <fstream>

#include "engine/acquisition.h"
#include "model/time_text.h"
#include "riff/bytes.h"
#include "riff/default_cart.h"

namespace airfoldex {

std::string BitsText(uint16_t value) {
  std::string out;
  for (int bit = 15; bit >= 0; --bit) out.push_back((value >> bit) & 1 ? '1' : '0');
  return out;
}

int16_t ReadDafHeader(JobContext& ctx, const std::filesystem::path& path) {
  auto& s = ctx.session;
  std::string header(kDafHeaderSize, '\0');
  {
    std::ifstream in(path, std::ios::binary);
    in.read(header.data(), static_cast<std::streamsize>(header.size()));
  }
  const auto text = [&](std::size_t offset, std::size_t width) { return header.substr(offset, width); };

  s.Layout.DataSize = bytes::le32(header.data() + 108) * 256u;
  s.Layout.AudioBytes = s.Layout.DataSize;

  // The flags word: bit 15 stereo, bits 14-13 the sample size, bits 4-3 the rate.
  const std::string b = BitsText(bytes::le16(header.data() + 112));
  s.Format.Channels = b[0] == '1' ? 2 : 1;
  const std::string bits = b.substr(1, 2), rate = b.substr(11, 2);
  if (bits == "00") s.Format.BitsPerSample = 8;
  if (bits == "01") s.Format.BitsPerSample = 12;
  if (bits == "10") s.Format.BitsPerSample = 16;
  if (bits == "11") s.Format.BitsPerSample = 4;
  if (rate == "00") s.Format.SamplesPerSec = 48000;
  if (rate == "01") s.Format.SamplesPerSec = 44100;
  if (rate == "10") s.Format.SamplesPerSec = 32000;
  if (rate == "11") s.Format.SamplesPerSec = 16000;

  DefaultCartInputs in;
  in.Format = s.Format;
  in.DataSize = s.Layout.DataSize;
  in.FromCode = ctx.settings.FromCode;
  in.DafIntroSeconds = ReadNumberPrefix(CleanText(text(80, 7)));
  const DefaultCartResult built = BuildDefaultCart(s.Cart, in, false);
  s.Maestro = {built.MaestroIntro, built.MaestroSegue, built.MaestroLength};

  SetFixedTextNulPadded(s.Cart.Artist, text(264, 64));
  SetFixedTextNulPadded(s.Cart.Title, text(37, 26));
  SetFixedTextNulPadded(s.Cart.Category, text(504, 16));
  SetFixedTextNulPadded(s.Cart.CutID, text(520, 16));
  s.Cart.TagText = CleanText(text(328, 128)) + std::string(128, '\0');
  return 0;
}

}  // namespace airfoldex
