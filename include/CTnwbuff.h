// CTnwbuff: an ordered list of separately allocated, zero-terminated byte blocks with a cursor.
// Used for every list of paths, lines and rows, and for copies of caller strings. Blocks are
// never moved: a pointer to a block's data stays valid until the block is freed.
#pragma once

#include <cstddef>

// Codes of the block list.
enum TnwBuffCode {
    kTnwBuffOk = 0,
    kTnwBuffNotInit = -1000,  // null list or missing anchor
    kTnwBuffBadTag = -1001,   // not a list
    kTnwBuffBadSize = -1002,  // size outside 1 .. 2,147,483,643
    kTnwBuffNoMemory = -1003,
    kTnwBuffAtEnd = -1004,    // cursor at the end, or index out of range
};

// Objects owned by a list of kind 1 (one pointer per block) derive from this.
struct TnwOwned {
    virtual ~TnwOwned() = default;
};

// One allocation per block: links, the requested size, then the data and at least one zero.
struct TnwBlock {
    TnwBlock* older;  // towards the oldest block, or the anchor
    TnwBlock* newer;  // towards the newest block, or the anchor
    int size;         // size as requested when the block was added
    int pad_;
    // data follows
    char* data() { return reinterpret_cast<char*>(this + 1); }
};

// The anchor shares the link layout of a block, so the list is a ring through it:
// anchor.older is the newest block and anchor.newer the oldest.
struct TnwBlockAnchor {
    TnwBlock* newest;
    TnwBlock* oldest;
};

struct TnwBlockList {
    char tag[4];            // "BUFC"
    int kind;               // 0 bytes, 1 owned objects
    int count;              // number of blocks
    char* curData;          // data of the block under the cursor (or of the last one added)
    int curSize;            // its requested size
    TnwBlockAnchor* first;  // points at anchor; null when not initialised
    TnwBlockAnchor anchor;
    TnwBlock* cursor;       // block last visited, or the anchor (as a block) after a rewind
};

// Plain functions over the record; each returns 0, a count, or a negative code above.
int tnwBlInit(TnwBlockList* list);
int tnwBlValidate(const TnwBlockList* list);
int tnwBlAdd(TnwBlockList* list, long long size, const void* source);
int tnwBlCount(const TnwBlockList* list);
int tnwBlRewind(TnwBlockList* list);
int tnwBlNext(TnwBlockList* list);
int tnwBlSeek(TnwBlockList* list, int index);
int tnwBlFreeAll(TnwBlockList* list);
int tnwBlReset(TnwBlockList* list);
int tnwBlDestroy(TnwBlockList* list);
int tnwBlCopyTo(TnwBlockList* list, TnwBlockList* other, int size);

class CTnwbuff {
public:
    CTnwbuff();
    virtual ~CTnwbuff();
    CTnwbuff(const CTnwbuff&) = delete;
    CTnwbuff& operator=(const CTnwbuff&) = delete;

    virtual int Init();
    virtual int Validate() const;
    // Adds `size` bytes of `source` (zero-filled without a source) plus a terminating zero.
    virtual int Add(long long size, const void* source);
    // Adds `length` bytes of `text`; on success the current text is the new block.
    virtual int AddText(const char* text, int length);
    // Adds a zero-terminated string (length + 1 bytes, so an empty text is a block of size 1).
    int AddString(const char* text);
    // Kind 1 lists: the block holds the pointer; the list deletes the object on Destroy.
    virtual int AddObject(TnwOwned* object);
    virtual int Count() const;
    virtual int Rewind();
    virtual int Next();
    virtual int Seek(int index);
    virtual int FreeAll();
    virtual int Reset();
    virtual int Destroy();
    virtual int CopyTo(CTnwbuff* other, int size) const;

    int SetKind(int kind);  // 0 bytes, 1 owned objects; only on an empty list
    const char* Text() const { return m_text; }
    int TextLength() const { return m_textLength; }
    int Size() const { return m_size; }
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
