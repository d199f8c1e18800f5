// cMP3ID3v2: the frame store of one ID3v2 tag and the properties over it.

#include <algorithm>
#include <cctype>

#include "errors.h"
#include "file_io.h"
#include "frames.h"
#include "id3v2_tag.h"

namespace tagwell {

namespace {

// One id of the store and its values in order. A value is a frame as read or set; opaque ones
// (compressed or encrypted frames) are carried through to the next Update as they stand.
struct FrameEntry {
  std::string id;
  std::vector<id3v2::RawFrame> values;
};

// The Comment property shows every COMM text, joined by this.
const std::string kCommentJoin("\0\r\n", 3);

// The value a frame shows the host: opaque frames as their stored bytes.
std::string HostValue(const id3v2::RawFrame& f) {
  return f.Opaque() ? f.body : frames::ValueOf(f.id, f.body);
}

std::string UpperId(const std::string& id) {
  std::string out = id;
  for (auto& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

// The genre number and text of a TCON value: "(17)Rock", "(17)", "17" or "Rock".
struct GenreValue {
  uint8_t genre = 255;
  std::string other;       // OtherGenreName: the text after the number, or the genre's name
  std::string refinement;  // the text after the number as stored
};

GenreValue ParseGenre(const std::string& value) {
  GenreValue g;
  const auto open = value.find('(');
  const auto close = open == std::string::npos ? std::string::npos : value.find(')', open + 1);
  auto number = [](std::string_view digits, uint8_t* out) {
    if (digits.empty() || digits.size() > 3) return false;
    int n = 0;
    for (const char c : digits) {
      if (c < '0' || c > '9') return false;
      n = n * 10 + (c - '0');
    }
    if (n > 255) return false;
    *out = static_cast<uint8_t>(n);
    return true;
  };
  if (close != std::string::npos &&
      number(std::string_view(value).substr(open + 1, close - open - 1), &g.genre)) {
    g.refinement = value.substr(close + 1);
    g.other = g.refinement.size() >= 2 ? g.refinement : GenreName(g.genre);
  } else if (number(value, &g.genre)) {
    g.other = GenreName(g.genre);  // a version 2.4 genre number without parentheses
  } else {
    g.genre = 255;
    g.other = value;
    g.refinement = value;
  }
  return g;
}

}  // namespace

struct cMP3ID3v2::Impl {
  std::string path;
  bool hasTag = false;
  int version = 0;
  std::vector<FrameEntry> store;

  FrameEntry* Find(const std::string& id) {
    const std::string key = UpperId(id);
    const auto it =
        std::find_if(store.begin(), store.end(), [&](const FrameEntry& e) { return e.id == key; });
    return it == store.end() ? nullptr : &*it;
  }
  const FrameEntry* Find(const std::string& id) const { return const_cast<Impl*>(this)->Find(id); }

  FrameEntry& Lookup(const std::string& id) {
    FrameEntry* e = Find(id);
    if (!e)
      Raise(ErrorSource::kID3v2, kErrInvalidArgument, "Invalid procedure call or argument: no frame " + id);
    return *e;
  }

  void Append(id3v2::RawFrame frame) {
    if (FrameEntry* e = Find(frame.id)) {
      e->values.push_back(std::move(frame));
    } else {
      std::string id = frame.id;
      store.push_back({std::move(id), {std::move(frame)}});
    }
  }

  void Remove(const std::string& id) {
    const std::string key = UpperId(id);
    std::erase_if(store, [&](const FrameEntry& e) { return e.id == key; });
  }

  // The text of the last value of a frame, as read values set their property one after another;
  // opaque values have no text.
  std::string Text(const std::string& id) const {
    const FrameEntry* e = Find(id);
    if (!e) return {};
    const auto last = std::find_if(e->values.rbegin(), e->values.rend(),
                                   [](const id3v2::RawFrame& f) { return !f.Opaque(); });
    return last == e->values.rend() ? std::string() : frames::TextOf(e->id, last->body);
  }

  // The body of a value the host gives; raises for a PCNT value that is not a number.
  static std::string BodyFor(const std::string& id, const std::string& value) {
    std::string body;
    if (!frames::BodyOf(id, value, &body)) {
      Raise(ErrorSource::kID3v2, kErrTypeMismatch, "Type mismatch: \"" + value + "\" is not a number");
    }
    return body;
  }

  // Replaces a frame by one value; an empty value leaves the frame out.
  void Replace(const std::string& id, const std::string& value) {
    Remove(id);
    if (value.empty()) return;
    Append({id, BodyFor(id, value)});
  }

  GenreValue Genre() const { return ParseGenre(Text("TCON")); }
  void SetGenre(uint8_t genre, const std::string& other) {
    Replace("TCON", (genre == 255 ? std::string() : "(" + std::to_string(genre) + ")") + other);
  }
};

cMP3ID3v2::cMP3ID3v2() : impl_(std::make_unique<Impl>()) {}
cMP3ID3v2::~cMP3ID3v2() = default;

const std::string& cMP3ID3v2::MP3File() const { return impl_->path; }

void cMP3ID3v2::setMP3File(const std::string& path) {
  Impl& d = *impl_;
  d.path = path;
  d.hasTag = false;
  d.version = 0;
  d.store.clear();
  io::File file = io::File::OpenRead(path, ErrorSource::kID3v2);
  try {
    const id3v2::ReadResult tag = id3v2::ReadTag(file);
    d.hasTag = tag.location.found;
    d.version = tag.location.version;
    for (const auto& f : tag.frames) d.Append(f);
  } catch (const std::exception&) {
    // A read failing after the open keeps what was read so far.
  }
}

bool cMP3ID3v2::HasID3v2Tag() const { return impl_->hasTag; }
int cMP3ID3v2::ID3v2TagVersion() const { return impl_->version; }

std::string cMP3ID3v2::Title() const { return impl_->Text("TIT2"); }
void cMP3ID3v2::setTitle(const std::string& value) { impl_->Replace("TIT2", value); }
std::string cMP3ID3v2::Artist() const { return impl_->Text("TPE1"); }
void cMP3ID3v2::setArtist(const std::string& value) { impl_->Replace("TPE1", value); }
std::string cMP3ID3v2::Album() const { return impl_->Text("TALB"); }
void cMP3ID3v2::setAlbum(const std::string& value) { impl_->Replace("TALB", value); }

std::string cMP3ID3v2::Year() const {
  if (impl_->Find("TYER")) return impl_->Text("TYER");
  return impl_->Text("TDRC").substr(0, 4);  // version 2.4 keeps the year at the start of the date
}
void cMP3ID3v2::setYear(const std::string& value) {
  impl_->Remove("TDRC");
  impl_->Replace("TYER", value);
}

std::string cMP3ID3v2::Track() const { return impl_->Text("TRCK"); }
void cMP3ID3v2::setTrack(const std::string& value) { impl_->Replace("TRCK", value); }

std::string cMP3ID3v2::Comment() const {
  std::string out;
  bool first = true;
  if (const FrameEntry* e = impl_->Find("COMM")) {
    for (const auto& f : e->values) {
      if (f.Opaque()) continue;
      out += (first ? "" : kCommentJoin) + frames::TextOf(e->id, f.body);
      first = false;
    }
  }
  return out;
}

// The value splits at the join the getter uses, one text per COMM value in order. A value whose text
// is unchanged stays as it was (description, language and encoding included), so writing back what
// was read changes nothing; a changed text gets a new value, missing ones go, extra ones are added.
// A value without the join is a single comment, as a plain text always was. Opaque values are not
// part of the text and stay.
void cMP3ID3v2::setComment(const std::string& value) {
  std::vector<std::string> texts;
  for (std::size_t from = 0; !value.empty();) {
    const std::size_t join = value.find(kCommentJoin, from);
    texts.push_back(value.substr(from, join == std::string::npos ? std::string::npos : join - from));
    if (join == std::string::npos) break;
    from = join + kCommentJoin.size();
  }

  std::vector<id3v2::RawFrame> kept;
  std::size_t next = 0;
  if (const FrameEntry* e = impl_->Find("COMM")) {
    for (const auto& f : e->values) {
      if (f.Opaque()) {
        kept.push_back(f);
      } else if (next < texts.size()) {
        const std::string& text = texts[next++];
        kept.push_back(
            frames::TextOf(f.id, f.body) == text ? f : id3v2::RawFrame{"COMM", Impl::BodyFor("COMM", text)});
      }
    }
  }
  for (; next < texts.size(); ++next) kept.push_back({"COMM", Impl::BodyFor("COMM", texts[next])});

  if (FrameEntry* e = impl_->Find("COMM")) {
    e->values = std::move(kept);
    if (e->values.empty()) impl_->Remove("COMM");
  } else {
    for (auto& f : kept) impl_->Append(std::move(f));
  }
}

uint8_t cMP3ID3v2::Genre() const { return impl_->Genre().genre; }
void cMP3ID3v2::setGenre(uint8_t value) {
  const GenreValue g = impl_->Genre();
  // A text that only named the old number does not describe the new one.
  impl_->SetGenre(value, g.other == GenreName(g.genre) ? std::string() : g.other);
}
std::string cMP3ID3v2::OtherGenreName() const { return impl_->Genre().other; }
void cMP3ID3v2::setOtherGenreName(const std::string& value) { impl_->SetGenre(impl_->Genre().genre, value); }

std::string cMP3ID3v2::EncodedBy() const { return impl_->Text("TENC"); }
void cMP3ID3v2::setEncodedBy(const std::string& value) { impl_->Replace("TENC", value); }
std::string cMP3ID3v2::Composer() const { return impl_->Text("TCOM"); }
void cMP3ID3v2::setComposer(const std::string& value) { impl_->Replace("TCOM", value); }
std::string cMP3ID3v2::OriginalArtist() const { return impl_->Text("TOPE"); }
void cMP3ID3v2::setOriginalArtist(const std::string& value) { impl_->Replace("TOPE", value); }
std::string cMP3ID3v2::Copyright() const { return impl_->Text("TCOP"); }
void cMP3ID3v2::setCopyright(const std::string& value) { impl_->Replace("TCOP", value); }
std::string cMP3ID3v2::PlayCounter() const { return impl_->Text("PCNT"); }
void cMP3ID3v2::setPlayCounter(const std::string& value) { impl_->Replace("PCNT", value); }
std::string cMP3ID3v2::LinkTo() const { return impl_->Text("WXXX"); }
void cMP3ID3v2::setLinkTo(const std::string& value) { impl_->Replace("WXXX", value); }
std::string cMP3ID3v2::AudioURL() const { return impl_->Text("WOAF"); }
void cMP3ID3v2::setAudioURL(const std::string& value) { impl_->Replace("WOAF", value); }
std::string cMP3ID3v2::ArtistURL() const { return impl_->Text("WOAR"); }
void cMP3ID3v2::setArtistURL(const std::string& value) { impl_->Replace("WOAR", value); }
std::string cMP3ID3v2::BuyURL() const { return impl_->Text("WCOM"); }
void cMP3ID3v2::setBuyURL(const std::string& value) { impl_->Replace("WCOM", value); }
std::string cMP3ID3v2::Lyrics() const { return impl_->Text("USLT"); }
void cMP3ID3v2::setLyrics(const std::string& value) { impl_->Replace("USLT", value); }

void cMP3ID3v2::AddTag(const std::string& sFrame, const std::string& sTag) {
  const std::string id = UpperId(sFrame);
  const bool valid = id.size() == 4 && std::all_of(id.begin(), id.end(), [](char c) {
                       return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
                     });
  if (!valid) {
    Raise(ErrorSource::kID3v2, kErrInvalidArgument,
          "Invalid procedure call or argument: \"" + sFrame + "\" is not a frame id");
  }
  impl_->Append({id, Impl::BodyFor(id, sTag)});
}

void cMP3ID3v2::RemoveFrame(const std::string& frame) {
  impl_->Lookup(frame);
  impl_->Remove(frame);
}

void cMP3ID3v2::RemoveTag(const std::string& sFrame, int tagIndex) {
  FrameEntry& e = impl_->Lookup(sFrame);
  if (tagIndex < 1 || static_cast<std::size_t>(tagIndex) > e.values.size()) {
    Raise(ErrorSource::kID3v2, kErrSubscriptOutOfRange, "Subscript out of range");
  }
  e.values.erase(e.values.begin() + (tagIndex - 1));
  if (e.values.empty()) impl_->Remove(sFrame);
}

int cMP3ID3v2::FrameCount() const { return static_cast<int>(impl_->store.size()); }

std::string cMP3ID3v2::Frame(int index) const {
  if (index < 1 || static_cast<std::size_t>(index) > impl_->store.size()) {
    Raise(ErrorSource::kID3v2, kErrSubscriptOutOfRange, "Subscript out of range");
  }
  return impl_->store[static_cast<std::size_t>(index - 1)].id;
}

int cMP3ID3v2::TagsInFrame(const std::string& frame) const {
  const FrameEntry* e = impl_->Find(frame);
  return e ? static_cast<int>(e->values.size()) : 0;
}

std::string cMP3ID3v2::FrameValue(const std::string& frame, int n) const {
  const FrameEntry& e = impl_->Lookup(frame);
  if (n < 1 || static_cast<std::size_t>(n) > e.values.size()) {
    Raise(ErrorSource::kID3v2, kErrSubscriptOutOfRange, "Subscript out of range");
  }
  return HostValue(e.values[static_cast<std::size_t>(n - 1)]);
}

void cMP3ID3v2::Update() {
  std::vector<id3v2::RawFrame> frames;
  for (const auto& e : impl_->store) {
    for (const auto& f : e.values) frames.push_back({e.id, f.body, f.status, f.format});
  }
  id3v2::WriteTag(impl_->path, id3v2::RenderTag(frames));
}

cMP3Tags::cMP3Tags() = default;
cMP3Tags::~cMP3Tags() = default;

void cMP3Tags::Init() {
  id3v1_ = std::make_unique<cMP3ID3v1>();
  id3v2_ = std::make_unique<cMP3ID3v2>();
}

void cMP3Tags::DeInit() {
  id3v1_.reset();
  id3v2_.reset();
}

const char* LibraryVersion() { return "0.1.0"; }

}  // namespace tagwell
