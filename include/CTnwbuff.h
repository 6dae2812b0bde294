// CTnwbuff: an ordered list of separately allocated, zero-terminated byte blocks with a cursor.
// Used for every list of paths, lines and rows, and for copies of caller strings. Blocks are
// never moved: a pointer to a block's data stays valid until the block is freed.
// A C caller sees the codes and an opaque CTnwbuff: it passes lists made by C++ code along.
#pragma once

// Codes of the block list.
enum TnwBuffCode {
    kTnwBuffOk = 0,
    kTnwBuffNotInit = -1000,  // null list or missing anchor
    kTnwBuffBadTag = -1001,   // not a list (or not a list of the kind the operation needs)
    kTnwBuffBadSize = -1002,  // size outside 1 .. kTnwBuffMaxBlock
    kTnwBuffNoMemory = -1003,
    kTnwBuffAtEnd = -1004     // cursor at the end, or index out of range
};

#ifndef __cplusplus
typedef struct CTnwbuff CTnwbuff;
#else

#include <cstddef>

// Largest block size: the data, its zero bytes and the block header must stay within an int.
inline constexpr long long kTnwBuffMaxBlock = 2147483643LL;

// Kinds of list.
inline constexpr int kTnwBuffBytes = 0;    // blocks hold bytes
inline constexpr int kTnwBuffObjects = 1;  // each block holds one owned TnwOwned pointer

// Objects owned by a list of kind 1 (one pointer per block) derive from this.
struct TnwOwned {
    virtual ~TnwOwned() = default;
};

// The two links shared by the anchor and every block, so the list is a ring through the anchor:
// going older from the anchor reaches the newest block, going newer reaches the oldest.
struct TnwBlockLink {
    TnwBlockLink* older;
    TnwBlockLink* newer;
};

// One allocation per block: links, the requested size, then the data and at least one zero.
struct TnwBlock {
    TnwBlockLink link;  // first member, so a link that is not the anchor is its block
    int size;           // size as requested when the block was added
    int pad_;
    // data follows
    char* data() { return reinterpret_cast<char*>(this + 1); }
    const char* data() const { return reinterpret_cast<const char*>(this + 1); }
};

struct TnwBlockList {
    char tag[4];            // "BUFC"
    int kind;               // 0 bytes, 1 owned objects
    int count;              // number of blocks
    char* curData;          // data of the block under the cursor (or of the last one added)
    int curSize;            // its requested size
    TnwBlockLink* first;    // points at anchor; null when not initialised
    TnwBlockLink anchor;    // older = newest block, newer = oldest block
    TnwBlockLink* cursor;   // block last visited, or the anchor after a rewind
};

// The record crosses the library boundary: its layout must not change silently.
static_assert(offsetof(TnwBlockList, tag) == 0);
static_assert(offsetof(TnwBlockList, kind) == 4);
static_assert(offsetof(TnwBlockList, count) == 8);
static_assert(offsetof(TnwBlockList, curData) == (sizeof(void*) == 8 ? 16 : 12));
static_assert(offsetof(TnwBlockList, curSize) == (sizeof(void*) == 8 ? 24 : 16));
static_assert(offsetof(TnwBlockList, first) == (sizeof(void*) == 8 ? 32 : 20));
static_assert(offsetof(TnwBlockList, anchor) == (sizeof(void*) == 8 ? 40 : 24));
static_assert(offsetof(TnwBlockList, cursor) == (sizeof(void*) == 8 ? 56 : 32));
static_assert(sizeof(TnwBlockList) == (sizeof(void*) == 8 ? 64 : 36));
static_assert(offsetof(TnwBlockLink, older) == 0);
static_assert(offsetof(TnwBlock, link) == 0);
static_assert(sizeof(TnwBlock) % alignof(void*) == 0, "block data must hold a pointer aligned");

// Plain functions over the record; each returns 0, a count, or a negative code above.
int tnwBlInit(TnwBlockList* list);
int tnwBlValidate(const TnwBlockList* list);
int tnwBlAdd(TnwBlockList* list, long long size, const void* source);
int tnwBlCount(const TnwBlockList* list);
int tnwBlRewind(TnwBlockList* list);
int tnwBlNext(TnwBlockList* list);
int tnwBlSeek(TnwBlockList* list, int index);
int tnwBlFreeAll(TnwBlockList* list);
// Frees every block (deleting the objects of a kind 1 list) and initialises the list again with
// the same kind.
int tnwBlReset(TnwBlockList* list);
int tnwBlDestroy(TnwBlockList* list);
// Resets `other` to an empty list of bytes (a copy never owns objects), then adds each block of
// `list` with `size` bytes, or with the block's own size when `size` <= 0. A block shorter than
// `size` is copied whole and zero-filled up to `size`.
int tnwBlCopyTo(const TnwBlockList* list, TnwBlockList* other, int size);

class CTnwbuff {
public:
    CTnwbuff();
    virtual ~CTnwbuff();  // Destroy: frees every block and the objects of a kind 1 list
    CTnwbuff(const CTnwbuff&) = delete;
    CTnwbuff& operator=(const CTnwbuff&) = delete;

    virtual int Init();
    virtual int Validate() const;
    // Adds `size` bytes of `source` (zero-filled without a source) plus a terminating zero.
    virtual int Add(long long size, const void* source);
    // Adds `length` bytes of `text`; on success the current text is the new block, on failure
    // the current text is cleared.
    virtual int AddText(const char* text, int length);
    // Adds a zero-terminated string (length + 1 bytes, so an empty text is a block of size 1).
    // A null text is added as an empty one.
    int AddString(const char* text);
    // Kind 1 lists: the block holds the pointer; the list deletes the object on Destroy. An
    // empty list of kind 0 becomes kind 1; a non-empty list of bytes answers kTnwBuffBadTag. On
    // failure the caller keeps the object.
    virtual int AddObject(TnwOwned* object);
    virtual int Count() const;
    virtual int Rewind();
    // Moves to the next block (the oldest after Rewind); kTnwBuffAtEnd after the newest.
    virtual int Next();
    virtual int Seek(int index);  // zero-based
    // Frees every block and zeroes the record: Init must be called before the list is used
    // again. Objects of a kind 1 list are not deleted (Destroy does that).
    virtual int FreeAll();
    virtual int Reset();    // free all (deleting owned objects), then an empty list of bytes
    virtual int Destroy();  // kind 1: delete each object; then free all
    virtual int CopyTo(CTnwbuff* other, int size) const;

    int SetKind(int kind);  // 0 bytes, 1 owned objects; only on an empty list
    int Kind() const { return m_list.kind; }
    // The current text: the data of the current block (for kind 1 the stored pointer).
    const char* Text() const { return m_text; }
    // Zero-terminated length of the current text (0 for kind 1).
    int TextLength() const { return m_textLength; }
    int Size() const { return m_size; }  // requested size of the current block
    char* Data() const { return m_list.curData; }
    TnwOwned* Object() const;  // kind 1: the object of the current block

    TnwBlockList m_list;
    int m_textLength;
    char* m_text;
    int m_size;

private:
    void setCurrentFromList();
    void clearCurrent();
};

#endif  // __cplusplus
