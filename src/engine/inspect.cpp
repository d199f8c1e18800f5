#include "engine/inspect.h"

#include "engine/acquisition.h"
#include "engine/job_context.h"

namespace airfoldex {

namespace {

// Collects what the chain would show; answers every question with No.
class CollectingUi final : public UserInterface {
 public:
  explicit CollectingUi(std::vector<std::string>& messages) : messages_(messages) {}
  MessageAnswer ShowMessage(std::string_view title, std::string_view text, MessageIcon,
                            MessageButtons buttons) override {
    messages_.push_back("[" + std::string(title) + "] " + std::string(text));
    return buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::No;
  }
  void SetStatusText(std::string_view) override {}
  void SetFileProgress(int, int) override {}
  void SetOverallProgress(int, int) override {}
  void YieldToUi() override {}

 private:
  std::vector<std::string>& messages_;
};

// Settings that hold nothing: every read gives its default, writes go nowhere.
class NoSettings final : public SettingsStore {
 protected:
  std::string Read(std::string_view, std::string_view, std::string_view def, SettingsFile) override {
    return std::string(def);
  }
  void Write(std::string_view, std::string_view, std::string_view) override {}
};

}  // namespace

InspectedFile InspectSource(const std::filesystem::path& path, FormatCode fromCode, FormatCode toCode,
                            const std::string& fromText) {
  InspectedFile out;
  out.Path = path;
  out.Chunks = WalkChunks(path, &out.ChunkListWellFormed);

  JobSettings settings;
  settings.FromCode = fromCode;
  settings.ToCode = toCode;
  settings.FromText = fromText;
  CollectingUi ui(out.Messages);
  NoSettings store;
  SystemClock clock;
  JobContext ctx{settings, out.State, ui, store, clock};

  out.State.BeginFile();
  out.State.File.FileName = path.filename().string();
  out.State.File.BaseKey = path.filename().string();
  out.State.File.SourcePath = path;
  AcquireSource(ctx);
  out.Readable = !(out.State.File.FileResultSet && !out.State.File.FileResult);
  return out;
}

std::vector<std::pair<std::string, std::string>> RecordTextFields(const CartRecord& r) {
  return {
      {"ChunkId", CleanText(r.ChunkId)},
      {"Version", CleanText(r.Version)},
      {"Title", CleanText(r.Title)},
      {"Artist", CleanText(r.Artist)},
      {"CutID", CleanText(r.CutID)},
      {"ClientID", CleanText(r.ClientID)},
      {"Category", CleanText(r.Category)},
      {"Classification", CleanText(r.Classification)},
      {"OutCue", CleanText(r.OutCue)},
      {"StartDate", CleanText(r.StartDate)},
      {"StartTime", CleanText(r.StartTime)},
      {"EndDate", CleanText(r.EndDate)},
      {"EndTime", CleanText(r.EndTime)},
      {"ProducerAppID", CleanText(r.ProducerAppID)},
      {"ProducerAppVersion", CleanText(r.ProducerAppVersion)},
      {"UserDef", CleanText(r.UserDef)},
      {"Reserved", CleanText(r.Reserved)},
      {"URL", CleanText(r.URL)},
      {"TagText", CleanText(r.TagText)},
  };
}

}  // namespace airfoldex
