#include "picture/png_file.h"

#include <png.h>

#include <array>
#include <cstring>
#include <functional>
#include <span>
#include <vector>

#include "io/text.h"
#include "shp/messages.h"

namespace pelgrin {
namespace {

constexpr std::array<std::uint8_t, 8> kSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
// Text and colour-profile chunks are skipped unread: nothing here uses them, and their
// compressed contents need not be inflated.
constexpr png_byte kSkippedChunks[] = "iCCP\0iTXt\0sPLT\0tEXt\0zTXt\0eXIf";
constexpr png_alloc_size_t kChunkLimit = 1 << 20;

// What the error callback leaves for the code that called into libpng.
struct PngIo {
  InFile* in = nullptr;
  OutFile* out = nullptr;
  std::string error;
};

[[noreturn]] void OnError(png_structp png, png_const_charp message) {
  static_cast<PngIo*>(png_get_error_ptr(png))->error = message;
  png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

void ReadBytes(png_structp png, png_bytep data, std::size_t length) {
  auto* io = static_cast<PngIo*>(png_get_io_ptr(png));
  if (io->in->Read(std::span<std::uint8_t>(data, length)) != length)
    png_error(png, "the file ends early");
}

void WriteBytes(png_structp png, png_bytep data, std::size_t length) {
  static_cast<PngIo*>(png_get_io_ptr(png))->out->Write(std::span<const std::uint8_t>(data, length));
}

void FlushNothing(png_structp) {}

// Each libpng call that can fail runs in a function of its own that holds nothing to
// destroy, so that the error callback's long jump skips no destructor.
bool ReadInfo(png_structp png, png_infop info) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_read_info(png, info);
  return true;
}

bool UpdateInfo(png_structp png, png_infop info) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_read_update_info(png, info);
  return true;
}

bool ReadRows(png_structp png, png_bytepp rows) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_read_image(png, rows);
  return true;
}

class PngReader {
 public:
  explicit PngReader(InFile& file) {
    io_.in = &file;
    png_ = png_create_read_struct(PNG_LIBPNG_VER_STRING, &io_, OnError, OnWarning);
    if (png_ != nullptr) info_ = png_create_info_struct(png_);
    if (info_ == nullptr) return;
    png_set_read_fn(png_, &io_, ReadBytes);
    png_set_keep_unknown_chunks(png_, PNG_HANDLE_CHUNK_NEVER, nullptr, 0);
    png_set_keep_unknown_chunks(png_, PNG_HANDLE_CHUNK_NEVER, kSkippedChunks,
                                static_cast<int>(sizeof kSkippedChunks / 5));
    png_set_chunk_malloc_max(png_, kChunkLimit);
  }
  ~PngReader() { png_destroy_read_struct(&png_, &info_, nullptr); }
  PngReader(const PngReader&) = delete;
  PngReader& operator=(const PngReader&) = delete;

  bool ReadInfo() { return info_ != nullptr && pelgrin::ReadInfo(png_, info_); }
  png_structp png() { return png_; }
  png_infop info() { return info_; }
  const std::string& Error() const { return io_.error; }

 private:
  PngIo io_;
  png_structp png_ = nullptr;
  png_infop info_ = nullptr;
};

std::string Damaged(const std::string& path, std::string_view why) {
  return FillPattern("%s is a damaged PNG picture (%s).", {path, why});
}

// The size in IHDR, read before libpng is asked for anything: a picture larger than the
// raster is refused before a single row is inflated.
bool CheckHeader(InFile& file, const std::string& path, std::string& error) {
  std::array<std::uint8_t, 24> head{};
  if (file.Read(head) < head.size() || std::memcmp(&head[12], "IHDR", 4) != 0) {
    error = Damaged(path, "it has no picture header");
    return false;
  }
  const auto be32 = [&head](int at) {
    return std::uint32_t{head[at]} << 24 | std::uint32_t{head[at + 1]} << 16 |
           std::uint32_t{head[at + 2]} << 8 | std::uint32_t{head[at + 3]};
  };
  const std::uint32_t width = be32(16), height = be32(20);
  if (width == 0 || height == 0) {
    error = Damaged(path, "its width or height is 0");
    return false;
  }
  if (width > RasterCols || height > RasterRows) {
    error = FillPattern("%s is larger than 839 x 649 pixels.", {path});
    return false;
  }
  file.Seek(0);
  return true;
}

// Indexed pictures come as one index a byte; every other kind as 8-bit R, G, B, A.
void SetTransforms(png_structp png, png_infop info) {
  const int type = png_get_color_type(png, info);
  if (type == PNG_COLOR_TYPE_PALETTE) {
    png_set_packing(png);
  } else {
    png_set_strip_16(png);
    png_set_expand(png);  // gray below 8 bits to 8, tRNS to an alpha channel
    if ((type & PNG_COLOR_MASK_COLOR) == 0) png_set_gray_to_rgb(png);
    if ((type & PNG_COLOR_MASK_ALPHA) == 0 && png_get_valid(png, info, PNG_INFO_tRNS) == 0)
      png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
  }
  png_set_interlace_handling(png);
}

// The PLTE entries and their tRNS alphas.
void TakePalette(png_structp png, png_infop info, Picture& picture) {
  png_colorp plte = nullptr;
  int count = 0;
  png_get_PLTE(png, info, &plte, &count);
  picture.entries = std::min(count, 256);
  for (int i = 0; i < picture.entries; ++i)
    picture.palette[static_cast<std::size_t>(i)] = {plte[i].red, plte[i].green, plte[i].blue};
  png_bytep trans = nullptr;
  int trans_count = 0;
  if (png_get_tRNS(png, info, &trans, &trans_count, nullptr) != 0 && trans != nullptr) {
    for (int i = 0; i < std::min(trans_count, 256); ++i)
      picture.alpha[static_cast<std::size_t>(i)] = trans[i];
  }
}

// Moves the decoded rows into the picture; false when an index lies beyond the palette.
bool TakeIndices(const std::vector<std::uint8_t>& rows, Picture& picture) {
  for (std::int32_t y = 0; y < picture.height; ++y) {
    for (std::int32_t x = 0; x < picture.width; ++x) {
      const std::uint8_t index =
          rows[static_cast<std::size_t>(y) * static_cast<std::size_t>(picture.width) +
               static_cast<std::size_t>(x)];
      if (index >= picture.entries) return false;
      picture.PutIndex(x, y, index);
    }
  }
  return true;
}

using RowFiller = std::function<void(std::int32_t row, std::uint8_t* bytes)>;

struct PngLayout {
  std::int32_t width = 0;
  std::int32_t height = 0;
  bool indexed = false;
  const Palette* palette = nullptr;  // indexed only; entry 255 is transparent
};

bool WriteHead(png_structp png, png_infop info, const PngLayout& layout) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_IHDR(png, info, static_cast<png_uint_32>(layout.width),
               static_cast<png_uint_32>(layout.height), 8,
               layout.indexed ? PNG_COLOR_TYPE_PALETTE : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (layout.indexed) {
    png_color plte[256];
    png_byte trans[256];
    for (int i = 0; i < 256; ++i) {
      const Rgb c = (*layout.palette)[static_cast<std::size_t>(i)];
      plte[i] = {c.r, c.g, c.b};
      trans[i] = i == kTransparent ? 0 : 255;
    }
    png_set_PLTE(png, info, plte, 256);
    png_set_tRNS(png, info, trans, 256, nullptr);
  }
  png_write_info(png, info);
  return true;
}

bool WriteRow(png_structp png, std::uint8_t* row) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_write_row(png, row);
  return true;
}

bool WriteEnd(png_structp png, png_infop info) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_write_end(png, info);
  return true;
}

class PngWriter {
 public:
  explicit PngWriter(OutFile& out) {
    io_.out = &out;
    png_ = png_create_write_struct(PNG_LIBPNG_VER_STRING, &io_, OnError, OnWarning);
    if (png_ != nullptr) info_ = png_create_info_struct(png_);
    if (info_ != nullptr) png_set_write_fn(png_, &io_, WriteBytes, FlushNothing);
  }
  ~PngWriter() { png_destroy_write_struct(&png_, &info_); }
  PngWriter(const PngWriter&) = delete;
  PngWriter& operator=(const PngWriter&) = delete;

  bool Write(const PngLayout& layout, const RowFiller& fill) {
    if (info_ == nullptr || !WriteHead(png_, info_, layout)) return false;
    std::vector<std::uint8_t> row(static_cast<std::size_t>(layout.width) *
                                  (layout.indexed ? 1 : 3));
    for (std::int32_t y = 0; y < layout.height; ++y) {
      fill(y, row.data());
      if (!WriteRow(png_, row.data())) return false;
    }
    return WriteEnd(png_, info_);
  }

 private:
  PngIo io_;
  png_structp png_ = nullptr;
  png_infop info_ = nullptr;
};

bool WritePngFile(const std::string& path, const PngLayout& layout, const RowFiller& fill,
                  Reporter& reporter) {
  AtomicFile file;
  if (!file.Create(path)) {
    reporter.ShowError(FillPattern("Could not open png file %s", {path}));
    return false;
  }
  bool written = false;
  {
    PngWriter writer(file.Out());
    written = writer.Write(layout, fill);
  }
  if (!written) {
    file.Discard();
    reporter.ShowError(FillPattern(kCouldNotWriteFile, {path}));
    return false;
  }
  return CommitOrReport(file, path, reporter);
}

}  // namespace

bool HasPngSignature(InFile& file) {
  std::array<std::uint8_t, 8> head{};
  file.Seek(0);
  const bool png = file.Read(head) == head.size() && head == kSignature;
  file.Seek(0);
  return png;
}

bool ReadPngPicture(InFile& file, const std::string& path, Picture& picture, std::string& error) {
  if (!CheckHeader(file, path, error)) return false;
  PngReader reader(file);
  png_set_user_limits(reader.png(), RasterCols, RasterRows);
  if (!reader.ReadInfo()) {
    error = Damaged(path, reader.Error().empty() ? "libpng could not start" : reader.Error());
    return false;
  }
  png_structp png = reader.png();
  png_infop info = reader.info();
  const bool indexed = png_get_color_type(png, info) == PNG_COLOR_TYPE_PALETTE;
  SetTransforms(png, info);
  if (!UpdateInfo(png, info)) {
    error = Damaged(path, reader.Error());
    return false;
  }
  const auto width = static_cast<std::int32_t>(png_get_image_width(png, info));
  const auto height = static_cast<std::int32_t>(png_get_image_height(png, info));
  const std::size_t row_bytes = static_cast<std::size_t>(width) * (indexed ? 1 : 4);
  if (png_get_rowbytes(png, info) != row_bytes) {
    error = Damaged(path, "its rows have an unexpected layout");
    return false;
  }
  std::vector<std::uint8_t> pixels(row_bytes * static_cast<std::size_t>(height));
  std::vector<png_bytep> rows(static_cast<std::size_t>(height));
  for (std::size_t y = 0; y < rows.size(); ++y)
    rows[y] = &pixels[y * row_bytes];
  if (!ReadRows(png, rows.data())) {
    error = Damaged(path, reader.Error());
    return false;
  }
  picture = Picture();
  picture.Resize(width, height, indexed);
  if (!indexed) {
    picture.rgba = std::move(pixels);
    return true;
  }
  TakePalette(png, info, picture);
  if (!TakeIndices(pixels, picture)) {
    error = Damaged(path, "it uses a colour index that its palette does not hold");
    return false;
  }
  return true;
}

bool ReadPngPalette(InFile& file, const std::string& path, Palette& palette, std::int32_t& entries,
                    std::string& error) {
  PngReader reader(file);
  if (!reader.ReadInfo()) {
    error = Damaged(path, reader.Error().empty() ? "libpng could not start" : reader.Error());
    return false;
  }
  if (png_get_color_type(reader.png(), reader.info()) != PNG_COLOR_TYPE_PALETTE) {
    error = FillPattern("%s holds no palette: it is not an indexed picture.", {path});
    return false;
  }
  Picture picture;
  TakePalette(reader.png(), reader.info(), picture);
  palette = picture.palette;
  entries = picture.entries;
  return true;
}

bool WriteRasterPng(const WorkState& ws, const std::string& path, Reporter& reporter) {
  const std::int64_t width = std::int64_t{ws.CurHeader.MaxX} + 1;
  const std::int64_t height = std::int64_t{ws.CurHeader.MaxY} + 1;
  if (width < 1 || height < 1 || width > RasterCols || height > RasterRows) {
    reporter.ShowError(
        FillPattern("Could not write file %s: the frame is larger than 839 x 649 pixels.", {path}));
    return false;
  }
  // Index 255 is drawn in BackColor, so the PLTE holds the colours Show drew.
  Palette shown = ws.ActivePalette;
  shown[kTransparent] = BackColor;
  PngLayout layout{static_cast<std::int32_t>(width), static_cast<std::int32_t>(height), true,
                   &shown};
  const auto fill = [&ws, &layout](std::int32_t y, std::uint8_t* row) {
    for (std::int32_t x = 0; x < layout.width; ++x)
      row[x] = RasterAt(ws, x, y);
  };
  return WritePngFile(path, layout, fill, reporter);
}

bool SaveSurfacePng(const Surface& surface, const std::string& path, Reporter& reporter) {
  PngLayout layout{surface.Width(), surface.Height(), false, nullptr};
  const auto fill = [&surface](std::int32_t y, std::uint8_t* row) {
    for (int x = 0; x < surface.Width(); ++x) {
      const std::uint32_t c = surface.GetPixel(x, y);
      row[3 * x] = static_cast<std::uint8_t>(c);
      row[3 * x + 1] = static_cast<std::uint8_t>(c >> 8);
      row[3 * x + 2] = static_cast<std::uint8_t>(c >> 16);
    }
  };
  return WritePngFile(path, layout, fill, reporter);
}

}  // namespace pelgrin
