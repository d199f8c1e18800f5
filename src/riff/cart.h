#pragma once

// The broadcast-WAV cart chunk: its bytes (parse and render side by side, one field order), the
// searches that find it near the start or the end of a source file together with the repairs of
// timer ids that some automation systems need, and the normalisation before any cart is written.

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "model/cart_record.h"
#include "model/format_code.h"
#include "riff/wav.h"

namespace airfoldex {

// Size of the fixed part of the chunk body (version to URL) and of a written chunk: the 8-byte
// header, the fixed part and two zero bytes of empty tag text.
inline constexpr std::size_t kCartFixedBodySize = 2048;
inline constexpr std::size_t kCartWrittenSize = 2058;
inline constexpr int32_t kCartWrittenBodySize = 2050;

// The 2058 bytes of the chunk as written: "cart", size 2050, the record's fields in chunk order,
// two zero bytes of empty tag text. The record's ChunkId, ChunkSize and TagText are not used.
std::string RenderCartChunk(const CartRecord& record);

// Reads a chunk from bytes that start at its id. Missing bytes read as zero. The tag text is the
// rest of the body after the fixed fields as far as the size field says and the bytes reach,
// without its trailing NULs.
CartRecord ParseCartChunk(std::string_view bytes);

// Searches the first 8192 bytes of the file for a cart chunk and reads it into record, then
// repairs the timer ids that some producers write (and the Rivendell fields). True only when
// timer 0 or timer 2 has an id; a chunk read without one stays in the record. Without a chunk
// the record is untouched.
bool FindCartAtStart(const std::filesystem::path& path, CartRecord& record, Diagnostics* diag = nullptr);

// Searches the last 8 KiB before the final byte of the file, then the 8 KiB from the first "cart"
// in the 8 KiB that start 40961 bytes before the end. Reads a chunk found there into record and,
// for Myriad sources, repairs its timer ids. The result follows the same timer rule as
// FindCartAtStart. yield runs between candidates.
bool FindCartAtEnd(const std::filesystem::path& path, CartRecord& record, FormatCode fromCode,
                   const std::function<void()>& yield = {}, Diagnostics* diag = nullptr);

// The common normalisation before a cart is written: URL cleaned (cleared when it mentions
// junk), tag text and producer cleared, version "0101" and size 2050, ids for a record that was
// never a chunk, and a year at the start of the URL carried into OutCue and UserDef.
void PrepareCartForWrite(CartRecord& record);

// Marks a record decoded from an MP3 source: ProducerAppID "AX-MP3".
void MarkMp3Producer(CartRecord& record);

// True when the chunk was produced by Rivendell: ProducerAppID is exactly "rivendell" once
// cleaned (letter case counts).
bool IsRivendellProducer(const CartRecord& record);

}  // namespace airfoldex
