// SPDX-License-Identifier: GPL-3.0-or-later
#include "sprites/DIB.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "lang/Language.h"
#include "platform/MessageBox.h"

namespace {

constexpr const char* kFileFilter =
    lang::Mark("Bilddateien (*.DIB, *.BMP)|*.DIB;*.BMP|Alle Dateien (*.*)|*.*||");
constexpr const char* kNoImage = lang::Mark("Es gibt kein Bild zum Speichern");

// The opacity limits are single-precision values and are compared as such.
constexpr float kAlphaLow = 0.01f;
constexpr float kAlphaHigh = 0.99f;
static_assert(std::bit_cast<std::uint32_t>(kAlphaLow) == 0x3C23D70A);
static_assert(std::bit_cast<std::uint32_t>(kAlphaHigh) == 0x3F7D70A4);

void Show(const char* message) {
    AfxMessageBox(lang::Tr(message), MB_OK, 0);
}

// Copies n bytes when rule is null, else blends them with rule.
void AddSpan(const PixelKernels& kernels, const BlendRule* rule, unsigned char* dst,
             const unsigned char* src, std::size_t n) {
    if (rule == nullptr) {
        kernels.copySpan(dst, src, n);
    } else {
        kernels.blendSpan(n, dst, src, *rule);
    }
}

}  // namespace

// Where each row's visible pixels lie, for the key colour they were found with: rows of sprite
// pictures hold a few long runs, so keyed drawing copies runs instead of testing every pixel. A
// row's runs are found the first time it is drawn (a sheet shows one frame at a time).
struct CDIB::KeyRuns {
    struct Row {
        std::uint32_t first;  // its runs: runs[first] ..
        std::uint32_t count;  // .. count of them; kNotFound until the row is first drawn
    };
    static constexpr std::uint32_t kNotFound = UINT32_MAX;
    bool known = false;  // rows and runs belong to the current pixels and key
    unsigned char key[3]{};
    std::vector<Row> rows;  // row y, 0 = top
    std::vector<KeyRun> runs;
};

CDIB::CDIB()
    : m_pRefCount(new int(0)),
      m_pDC(new CDC),
      m_pFileHeader(nullptr),
      m_pInfo(nullptr),
      m_pBits(nullptr),
      m_hBitmap(nullptr),
      m_hOldBitmap(nullptr),
      m_pKeyRuns(new KeyRuns) {}

CDIB::CDIB(const CDIB& other) : CDIB() {
    Share(other);
}

CDIB::~CDIB() {
    ReleaseForDestroy();
}

// Frees this object's blocks, bitmap and device context (keeping the DC object) and leaves it
// without an image. Also tidies up after a read that failed half-way.
void CDIB::FreeImage() {
    std::free(m_pFileHeader);
    std::free(m_pInfo);
    m_pFileHeader = nullptr;
    m_pInfo = nullptr;
    if (m_hBitmap != nullptr) {
        if (m_hOldBitmap != nullptr) ::SelectObject(m_pDC->m_hDC, m_hOldBitmap);
        ::DeleteObject(m_hBitmap);
    }
    m_pDC->DeleteDC();
    m_pBits = nullptr;
    m_hBitmap = nullptr;
    m_hOldBitmap = nullptr;
    PixelsChanged();
}

void CDIB::ReleaseForDestroy() {
    if (m_pRefCount == nullptr) return;
    if (*m_pRefCount != 0) {
        --*m_pRefCount;
    } else {
        FreeImage();
        delete m_pDC;
        delete m_pRefCount;
        delete m_pKeyRuns;
    }
    m_pRefCount = nullptr;
    m_pKeyRuns = nullptr;
    m_pDC = nullptr;
    m_pFileHeader = nullptr;
    m_pInfo = nullptr;
    m_pBits = nullptr;
    m_hBitmap = nullptr;
    m_hOldBitmap = nullptr;
}

void CDIB::ReleaseForRecreate() {
    if (*m_pRefCount > 0) {
        // The other holders keep the image; this object starts over on resources of its own.
        // That also holds for a shared object without an image, whose DC object is shared too.
        --*m_pRefCount;
        m_pRefCount = new int(0);
        m_pKeyRuns = new KeyRuns;
        m_pDC = new CDC;
        m_pFileHeader = nullptr;
        m_pInfo = nullptr;
        m_pBits = nullptr;
        m_hBitmap = nullptr;
        m_hOldBitmap = nullptr;
    } else {
        FreeImage();
    }
}

BOOL CDIB::Refuse(const char* message) {
    Show(message);
    FreeImage();
    return FALSE;
}

BOOL CDIB::Read(CFile* file) {
    ReleaseForRecreate();
    if (file == nullptr) return Refuse("Lesefehler");
    try {
        file->Seek(0, CFile::begin);
    } catch (const CFileException&) {
        return Refuse("Lesefehler");
    }
    bmp::FileSource source(*file);
    return ReadFrom(source);
}

BOOL CDIB::LoadFromMemory(const unsigned char* data, std::size_t size) {
    ReleaseForRecreate();
    bmp::MemorySource source(data, data != nullptr ? size : 0);
    return ReadFrom(source);
}

bool CDIB::CreateSection() {
    m_pDC->Attach(::CreateCompatibleDC(nullptr));
    void* bits = nullptr;
    m_hBitmap = ::CreateDIBSection(m_pDC->m_hDC, m_pInfo, DIB_RGB_COLORS, &bits, nullptr, 0);
    m_pBits = static_cast<unsigned char*>(bits);
    if (m_pBits == nullptr) return false;
    m_hOldBitmap = ::SelectObject(m_pDC->m_hDC, m_hBitmap);
    return true;
}

BOOL CDIB::ReadFrom(bmp::Source& source) {
    if (const char* refusal = bmp::ReadHeaders(source, m_pFileHeader, m_pInfo)) {
        return Refuse(refusal);
    }
    if (!CreateSection()) return Refuse("Die DIB-Section konnte nicht angelegt werden");
    if (m_hOldBitmap == nullptr) return Refuse("Die Bitmap konnte nicht ausgewählt werden");
    const std::size_t pixelBytes = bmp::PixelBytes(m_pInfo->bmiHeader);
    if (source.Take(m_pBits, pixelBytes) != pixelBytes) return Refuse("Lesefehler");
    return TRUE;
}

BOOL CDIB::CreateFromDC(CDC* dc, int width, int height) {
    if (m_pFileHeader != nullptr && m_pInfo != nullptr && GetWidth() == width &&
        GetHeight() == height) {
        CopyFromDC(dc, width, height);
        return TRUE;
    }
    ReleaseForRecreate();

    constexpr DWORD kHeaders = bmp::kFileHeaderSize + bmp::kInfoHeaderSize;
    m_pFileHeader = static_cast<BITMAPFILEHEADER*>(std::malloc(bmp::kFileHeaderSize));
    if (m_pFileHeader == nullptr) return Refuse("Kein Speicher für den BITMAPFILEHEADER");
    *m_pFileHeader = BITMAPFILEHEADER{0x4D42, 0, 0, 0, kHeaders};
    m_pInfo = static_cast<BITMAPINFO*>(std::malloc(bmp::kInfoHeaderSize));
    if (m_pInfo == nullptr) return Refuse("Kein Speicher für die BITMAPINFO");
    m_pInfo->bmiHeader =
        BITMAPINFOHEADER{bmp::kInfoHeaderSize, width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    const std::size_t stride = DibStride(width, 24);
    m_pFileHeader->bfSize =
        static_cast<DWORD>(static_cast<std::size_t>(std::max(height, 0)) * stride + kHeaders);
    // Images are bottom-up: a negative height would make a top-down section nothing else expects.
    if (width <= 0 || height <= 0) return Refuse("Die DIB-Section konnte nicht angelegt werden");

    if (!CreateSection()) return Refuse("Die DIB-Section konnte nicht angelegt werden");
    if (m_hOldBitmap == nullptr) Show("Die Bitmap konnte nicht ausgewählt werden");
    CopyFromDC(dc, width, height);
    return TRUE;
}

BOOL CDIB::CreateFilled(CDC* referenceDC, int width, int height, COLORREF colour) {
    CDC temporary;
    temporary.CreateCompatibleDC(referenceDC);
    HBITMAP bitmap = ::CreateCompatibleBitmap(referenceDC != nullptr ? referenceDC->m_hDC : nullptr,
                                              width, height);
    HGDIOBJ previous = temporary.SelectObject(bitmap);
    temporary.FillSolidRect(0, 0, width, height, colour);
    const BOOL created = CreateFromDC(&temporary, width, height);
    if (previous != nullptr) temporary.SelectObject(previous);
    if (bitmap != nullptr) ::DeleteObject(bitmap);
    temporary.DeleteDC();
    return created;
}

BOOL CDIB::Load(const char* path) {
    std::string chosen = path != nullptr ? path : "";
    if (chosen.empty()) {
        CFileDialog dialog(TRUE, nullptr, nullptr, OFN_FILEMUSTEXIST | OFN_HIDEREADONLY,
                           lang::Tr(kFileFilter), nullptr);
        if (dialog.DoModal() != IDOK) return FALSE;
        chosen = dialog.GetPathName();
    }
    CFile file;
    if (!file.Open(chosen.c_str(), CFile::modeRead | CFile::shareDenyWrite) ||
        !file.IsRegularFile()) {
        return FALSE;
    }
    const BOOL result = Read(&file);
    file.Close();
    return result;
}

BOOL CDIB::Save(const char* path) {
    // Without an image nothing is written, and an existing file is not truncated for nothing.
    if (m_pFileHeader == nullptr || m_pInfo == nullptr || m_pBits == nullptr) {
        Show(kNoImage);
        return FALSE;
    }
    std::string chosen = path != nullptr ? path : "";
    if (chosen.empty()) {
        CFileDialog dialog(FALSE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                           lang::Tr(kFileFilter), nullptr);
        if (dialog.DoModal() != IDOK) return FALSE;
        chosen = dialog.GetPathName();
    }
    CFile file;
    if (!file.Open(chosen.c_str(),
                   CFile::modeCreate | CFile::modeReadWrite | CFile::shareExclusive)) {
        Show("Die Datei konnte nicht geöffnet werden");
        return FALSE;
    }
    const BOOL result = Write(&file);
    file.Close();
    if (!result) Show("Die Datei konnte nicht gespeichert werden");
    return result;
}

BOOL CDIB::Write(CFile* file) {
    if (m_pFileHeader == nullptr || m_pInfo == nullptr || m_pBits == nullptr || file == nullptr) {
        Show(kNoImage);
        return FALSE;
    }
    if (!bmp::Write(*file, *m_pFileHeader, m_pInfo, m_pBits)) {
        Show("Schreibfehler – vielleicht ist der Datenträger voll");
        return FALSE;
    }
    return TRUE;
}

BOOL CDIB::Draw(CDC* dc, int x, int y) {
    if (dc == nullptr) return FALSE;
    const int width = GetWidth();
    const int height = GetHeight();
    return ::StretchBlt(dc->m_hDC, x, y, width, height, m_pDC->m_hDC, 0, 0, width, height, SRCCOPY);
}

BOOL CDIB::DrawPart(CDC* dc, int left, int top, int right, int bottom, int dx, int dy) {
    if (dc == nullptr || !HasImage()) return FALSE;
    // Clipped to this image in 64 bits first, so that hostile rectangles and shifts cannot
    // overflow; what remains fits an int.
    std::int64_t l = left, t = top, r = right, b = bottom;
    l = std::max<std::int64_t>(l, 0);
    t = std::max<std::int64_t>(t, 0);
    r = std::min<std::int64_t>(r, GetWidth());
    b = std::min<std::int64_t>(b, GetHeight());
    if (r <= l || b <= t) return std::int64_t{right} > left && std::int64_t{bottom} > top;
    const std::int64_t x = l + dx;
    const std::int64_t y = t + dy;
    const auto fits = [](std::int64_t v) { return v >= INT32_MIN && v <= INT32_MAX; };
    if (!fits(x) || !fits(y)) return TRUE;  // shifted beyond any surface
    const auto width = static_cast<int>(r - l);
    const auto height = static_cast<int>(b - t);
    return ::StretchBlt(dc->m_hDC, static_cast<int>(x), static_cast<int>(y), width, height,
                        m_pDC->m_hDC, static_cast<int>(l), static_cast<int>(t), width, height,
                        SRCCOPY);
}

BOOL CDIB::CopyFromDC(CDC* src, int width, int height) {
    PixelsChanged();
    return ::BitBlt(m_pDC->m_hDC, 0, 0, width, height, src != nullptr ? src->m_hDC : nullptr, 0, 0,
                    SRCCOPY);
}

void CDIB::AddSpriteTo(CDIB* dest, int x, int y, int width, int height, int sx, int sy, float alpha,
                       int colourKey) {
    // The pixel code addresses 3 bytes a pixel; other images would be read or written out of
    // bounds, so they draw nothing (loading them has already warned).
    if (dest == nullptr || m_pBits == nullptr || dest->m_pBits == nullptr || m_pInfo == nullptr ||
        dest->m_pInfo == nullptr) {
        return;
    }
    // The headers are read directly: this runs for every sprite of every frame.
    const BITMAPINFOHEADER& source = m_pInfo->bmiHeader;
    const BITMAPINFOHEADER& target = dest->m_pInfo->bmiHeader;
    if (source.biBitCount != 24 || target.biBitCount != 24) return;
    // Clip in 64 bits: positions and sizes may be anything a caller computed.
    std::int64_t dx = x, dy = y, w = width, h = height, srcX = sx, srcY = sy;
    if (dx < 0) {
        w += dx;
        srcX -= dx;
        dx = 0;
    }
    if (dy < 0) {
        h += dy;
        srcY -= dy;
        dy = 0;
    }
    const std::int64_t right = std::min<std::int64_t>(dx + w, target.biWidth);
    const std::int64_t bottom = std::min<std::int64_t>(dy + h, target.biHeight);
    if (right <= dx || bottom <= dy) return;
    w = right - dx;
    h = bottom - dy;
    if (srcX < 0 || srcY < 0 || w + srcX > source.biWidth || h + srcY > source.biHeight) {
        Show("der Bildbereich für die Spriteaddition ist ungültig");
        return;
    }
    const bool copy = alpha >= kAlphaHigh;
    const bool blend = alpha > kAlphaLow && alpha < kAlphaHigh;
    if (!copy && !blend) return;

    const auto spanBytes = static_cast<std::size_t>(w) * 3;
    const std::size_t srcStride = DibStride(source.biWidth, 24);
    const std::size_t dstStride = DibStride(target.biWidth, 24);
    // Row y of a bottom-up image lies (height − 1 − y) strides into its pixels.
    const unsigned char* srcRow = m_pBits +
                                  static_cast<std::size_t>(source.biHeight - 1 - srcY) * srcStride +
                                  static_cast<std::size_t>(srcX) * 3;
    unsigned char* dstRow = dest->m_pBits +
                            static_cast<std::size_t>(target.biHeight - 1 - dy) * dstStride +
                            static_cast<std::size_t>(dx) * 3;
    dest->PixelsChanged();
    const auto rows = static_cast<std::size_t>(h);
    const BlendRule* rule = copy ? nullptr : &BlendRuleFor(alpha);
    if (dest->m_pBits == m_pBits) {
        AddRowsToItself(dstRow, dstStride, srcRow, srcStride, spanBytes, rows, colourKey != 0,
                        rule);
        return;
    }
    if (colourKey != 0) {
        AddKeyedRows(dstRow, dstStride, srcX, srcY, w, h, rule);
        return;
    }
    const PixelKernels& kernels = Kernels();
    if (copy) {
        RowCopy rect{dstRow, srcRow};
        kernels.copyRows(&rect, 1, rows, spanBytes, dstStride, srcStride);
        return;
    }
    // Rows are stored bottom-up, so the next row down lies one stride lower in memory.
    for (std::size_t r = 0; r < rows; ++r, srcRow -= srcStride, dstRow -= dstStride) {
        kernels.blendSpan(spanBytes, dstRow, srcRow, *rule);
    }
}

void CDIB::AddSpriteFrom(CDIB* src, int x, int y, int width, int height, int sx, int sy,
                         float alpha, int colourKey) {
    if (src == nullptr) return;
    src->AddSpriteTo(this, x, y, width, height, sx, sy, alpha, colourKey);
}

int CDIB::GetWidth() const {
    return m_pInfo != nullptr ? m_pInfo->bmiHeader.biWidth : 0;
}
int CDIB::GetHeight() const {
    return m_pInfo != nullptr ? m_pInfo->bmiHeader.biHeight : 0;
}
int CDIB::GetBitCount() const {
    return m_pInfo != nullptr ? m_pInfo->bmiHeader.biBitCount : 0;
}

void CDIB::GetRect(RECT* rect) const {
    if (rect != nullptr) *rect = RECT{0, 0, GetWidth(), GetHeight()};
}

void CDIB::Share(const CDIB& src) {
    // Releasing first would free the very image about to be taken over.
    if (&src == this) return;
    ReleaseForDestroy();
    m_pBits = src.m_pBits;
    m_pFileHeader = src.m_pFileHeader;
    m_pInfo = src.m_pInfo;
    m_pRefCount = src.m_pRefCount;
    m_pKeyRuns = src.m_pKeyRuns;
    m_hBitmap = src.m_hBitmap;
    m_hOldBitmap = src.m_hOldBitmap;
    m_pDC = src.m_pDC;
    ++*m_pRefCount;
}

CDIB& CDIB::operator=(const CDIB& other) {
    if (&other != this) Share(other);
    return *this;
}

int CDIB::GetStride() const {
    if (m_pInfo == nullptr) return 0;
    const std::int64_t bytes = std::int64_t{GetBitCount() / 8} * std::int64_t{GetWidth()} + 3;
    return static_cast<int>(bytes & ~std::int64_t{3});
}

unsigned char* CDIB::GetPixelAddress(int x, int y) const {
    PixelsChanged();
    return const_cast<unsigned char*>(PixelAt(x, y));
}

const unsigned char* CDIB::PixelAt(int x, int y) const {
    if (m_pBits == nullptr || x < 0 || y < 0 || x >= GetWidth() || y >= GetHeight()) {
        return nullptr;
    }
    const std::size_t row = static_cast<std::size_t>(GetHeight() - 1 - y);
    const std::size_t column = static_cast<std::size_t>(x) * (GetBitCount() == 24 ? 3 : 1);
    return m_pBits + row * static_cast<std::size_t>(GetStride()) + column;
}

void CDIB::PixelsChanged() const {
    if (m_pKeyRuns != nullptr) m_pKeyRuns->known = false;
}

CDIB::KeyRuns& CDIB::VisibleRuns() const {
    KeyRuns& found = *m_pKeyRuns;
    const unsigned char* key = PixelAt(0, 0);
    // Pixels written directly without a word are caught at least where they change the key.
    if (found.known && std::memcmp(found.key, key, 3) == 0) return found;
    std::memcpy(found.key, key, 3);
    found.rows.assign(static_cast<std::size_t>(GetHeight()), KeyRuns::Row{0, KeyRuns::kNotFound});
    found.runs.clear();
    found.known = true;
    return found;
}

void CDIB::AddKeyedRows(unsigned char* dstRow, std::size_t dstStride, std::int64_t srcX,
                        std::int64_t srcY, std::int64_t width, std::int64_t height,
                        const BlendRule* rule) const {
    KeyRuns& found = VisibleRuns();
    const PixelKernels& kernels = Kernels();
    const std::size_t srcStride = DibStride(GetWidth(), 24);
    const unsigned char* srcRow = PixelAt(static_cast<int>(srcX), static_cast<int>(srcY));
    const std::int64_t srcEnd = srcX + width;
    for (std::int64_t r = 0; r < height; ++r, srcRow -= srcStride, dstRow -= dstStride) {
        const auto y = static_cast<std::size_t>(srcY + r);
        KeyRuns::Row& row = found.rows[y];
        if (row.count == KeyRuns::kNotFound) {
            row.first = static_cast<std::uint32_t>(found.runs.size());
            row.count = static_cast<std::uint32_t>(
                FindKeyRuns(PixelAt(0, static_cast<int>(y)), GetWidth(), found.key, found.runs));
        }
        for (std::uint32_t k = row.first; k < row.first + row.count; ++k) {
            const KeyRun run = found.runs[k];
            if (run.end <= srcX) continue;
            if (run.begin >= srcEnd) break;
            const std::int64_t begin = std::max<std::int64_t>(run.begin, srcX);
            const std::int64_t end = std::min<std::int64_t>(run.end, srcEnd);
            const auto offset = static_cast<std::size_t>(begin - srcX) * 3;
            const auto bytes = static_cast<std::size_t>(end - begin) * 3;
            AddSpan(kernels, rule, dstRow + offset, srcRow + offset, bytes);
        }
    }
}

void CDIB::AddRowsToItself(unsigned char* dstRow, std::size_t dstStride,
                           const unsigned char* srcRow, std::size_t srcStride, std::size_t bytes,
                           std::size_t rows, bool keyed, const BlendRule* rule) const {
    // An image drawn onto itself may overwrite rows it has still to read. Each row is read as it
    // is when its turn comes, into a copy, so that no kernel sees a span overlap its source.
    const PixelKernels& kernels = Kernels();
    std::vector<unsigned char> row(bytes);
    std::vector<KeyRun> runs;
    unsigned char key[3];
    std::memcpy(key, PixelAt(0, 0), 3);
    for (std::size_t r = 0; r < rows; ++r, srcRow -= srcStride, dstRow -= dstStride) {
        std::memcpy(row.data(), srcRow, bytes);
        runs.clear();
        if (keyed) {
            FindKeyRuns(row.data(), static_cast<int>(bytes / 3), key, runs);
        } else {
            runs.push_back(KeyRun{0, static_cast<std::uint16_t>(bytes / 3)});
        }
        for (const KeyRun run : runs) {
            const std::size_t offset = std::size_t{run.begin} * 3;
            const std::size_t n = (std::size_t{run.end} - run.begin) * 3;
            AddSpan(kernels, rule, dstRow + offset, row.data() + offset, n);
        }
    }
}
