// SPDX-License-Identifier: GPL-3.0-or-later
// CDIB: a 24-bit device-independent image that reads and writes BMP files and adds sprites
// (colour key and opacity) into other images.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/File.h"
#include "platform/Gdi.h"
#include "platform/ObList.h"
#include "platform/Types.h"
#include "sprites/BmpFile.h"
#include "sprites/kernels/PixelKernels.h"

/// One image held as a DIB section that stays selected into a memory device context owned by
/// the image, so the library's pixel code and the platform's blits reach the same pixels.
///
/// Copies (Share, operator=) share the header blocks, pixel memory, bitmap and device context
/// through a shared count: *m_pRefCount is the number of holders besides one. The resources live
/// until the last holder lets go. An object without an image has a null m_pFileHeader.
///
/// Reading accepts uncompressed bottom-up BMP files of 8, 16, 24 or 32 bits with an info header of
/// 40 bytes or more, up to kMaxBitmapSide pixels on a side; everything else is refused with FALSE
/// and a message (sprites/BmpFile.h). All drawing works on 24-bit images only.
class CDIB : public CObject {
public:
    CDIB();
    /// A further holder of other's image.
    CDIB(const CDIB& other);
    ~CDIB() override;

    /// Reads a whole BMP file held in memory (size bytes at data).
    virtual BOOL LoadFromMemory(const unsigned char* data, std::size_t size);
    /// Makes this a blank 24-bit width × height image and copies the top-left width × height of
    /// dc (which may be null) into it. At the current size only the copy happens.
    virtual BOOL CreateFromDC(CDC* dc, int width, int height);
    /// Reads the BMP file at path; a null or empty path asks the user with a file dialog. FALSE
    /// without a message, as for a missing file, when path names no regular file (a folder, a
    /// FIFO, a device or a socket): reading one could block or never end.
    virtual BOOL Load(const char* path);
    /// Reads a BMP file from the start of an open file.
    virtual BOOL Read(CFile* file);
    /// Makes this a width × height image of one colour.
    virtual BOOL CreateFilled(CDC* referenceDC, int width, int height, COLORREF colour);
    /// Writes the image as a BMP file at path; a null or empty path asks with a file dialog.
    virtual BOOL Save(const char* path);
    /// Writes the image as a BMP file into an open file.
    virtual BOOL Write(CFile* file);
    /// Copies the whole image to dc at (x, y).
    virtual BOOL Draw(CDC* dc, int x, int y);
    /// Copies the image rectangle (left, top, right, bottom) to dc at (left + dx, top + dy).
    virtual BOOL DrawPart(CDC* dc, int left, int top, int right, int bottom, int dx, int dy);
    /// The sprite addition: adds the width × height region at (sx, sy) of this image onto dest
    /// at (x, y). Pixels equal to this image's top-left pixel are skipped when colourKey is
    /// nonzero; alpha ≥ 0.99 copies, 0.01 < alpha < 0.99 blends, alpha ≤ 0.01 draws nothing.
    virtual void AddSpriteTo(CDIB* dest, int x, int y, int width, int height, int sx, int sy,
                             float alpha, int colourKey);
    /// The sprite addition seen from the destination: adds src's region onto this image.
    virtual void AddSpriteFrom(CDIB* src, int x, int y, int width, int height, int sx, int sy,
                               float alpha, int colourKey);
    virtual int GetWidth() const;
    virtual int GetHeight() const;
    virtual int GetBitCount() const;
    /// Fills rect with (0, 0, width, height).
    virtual void GetRect(RECT* rect) const;
    /// Copies the width × height rectangle at (0, 0) of src to (0, 0) of this image.
    virtual BOOL CopyFromDC(CDC* src, int width, int height);
    /// Lets go of the current image and becomes a further holder of src's.
    virtual void Share(const CDIB& src);
    CDIB& operator=(const CDIB& other);

    /// Bytes from one pixel row to the next: (bitCount / 8 × width + 3) rounded down to 4.
    int GetStride() const;
    /// Address of pixel (x, y), y = 0 being the top row; null outside the image. The address is
    /// writable, so the image takes its pixels as changed (see PixelsChanged).
    unsigned char* GetPixelAddress(int x, int y) const;
    /// Address of pixel (x, y) for reading only; null outside the image.
    const unsigned char* PixelAt(int x, int y) const;
    /// Keyed drawing keeps, per image, where each row's visible (non-key) pixels lie, found once
    /// instead of at every draw. Whoever writes pixels through m_pBits calls this afterwards; the
    /// image's own operations, drawing into it and GetPixelAddress do it themselves.
    void PixelsChanged() const;
    /// True when this object holds an image.
    bool HasImage() const { return m_pFileHeader != nullptr; }

    int* m_pRefCount;
    CDC* m_pDC;
    BITMAPFILEHEADER* m_pFileHeader;
    /// The info header and colour table: bfOffBits − 14 bytes, all that lies before the pixels in
    /// the file unless that was too long to keep (bmp::kMaxWholeInfoBlock).
    BITMAPINFO* m_pInfo;
    unsigned char* m_pBits;
    HBITMAP m_hBitmap;
    HGDIOBJ m_hOldBitmap;

private:
    struct KeyRuns;
    /// The runs of visible pixels for the current key colour, found now if they are not known.
    KeyRuns& VisibleRuns() const;
    /// These add rows by copying when rule is null, else by blending with rule.
    void AddKeyedRows(unsigned char* dstRow, std::size_t dstStride, std::int64_t srcX,
                      std::int64_t srcY, std::int64_t width, std::int64_t height,
                      const BlendRule* rule) const;
    void AddRowsToItself(unsigned char* dstRow, std::size_t dstStride, const unsigned char* srcRow,
                         std::size_t srcStride, std::size_t bytes, std::size_t rows, bool keyed,
                         const BlendRule* rule) const;

    BOOL ReadFrom(bmp::Source& source);
    /// Makes the DIB section m_pInfo describes in a memory DC of this image's own and selects it
    /// there; false when there is no section. m_hOldBitmap is null when selecting it failed.
    bool CreateSection();
    void ReleaseForDestroy();
    void ReleaseForRecreate();
    void FreeImage();
    BOOL Refuse(const char* message);

    KeyRuns* m_pKeyRuns;  // shared by every holder of the image, like m_pRefCount
};
