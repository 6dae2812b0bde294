// The block list and CTnwbuff. Each block is one malloc'ed allocation that is never moved; the
// blocks form a ring through the list's anchor, so adding, iterating and freeing need no
// special case for the ends.
#include "CTnwbuff.h"

#include <cstdlib>
#include <cstring>

namespace {

constexpr char kTag[4] = {'B', 'U', 'F', 'C'};
// Zero bytes after the requested size: at least one terminates the data as a string.
constexpr size_t kZeroTail = 4;

bool hasTag(const TnwBlockList* list) { return std::memcmp(list->tag, kTag, 4) == 0; }

TnwBlock* blockOf(TnwBlockLink* link) { return reinterpret_cast<TnwBlock*>(link); }
const TnwBlock* blockOf(const TnwBlockLink* link)
{
    return reinterpret_cast<const TnwBlock*>(link);
}

// The object pointer held by a block of a kind 1 list; null when the block is too small to hold
// one (it was not added as an object).
TnwOwned* objectOf(const TnwBlock* block)
{
    if (block->size != static_cast<int>(sizeof(TnwOwned*))) return nullptr;
    TnwOwned* object = nullptr;
    std::memcpy(&object, block->data(), sizeof object);
    return object;
}

void setCurrent(TnwBlockList* list, TnwBlockLink* link)
{
    TnwBlock* block = blockOf(link);
    list->curData = block->data();
    list->curSize = block->size;
}

void freeBlocks(TnwBlockList* list)
{
    TnwBlockLink* link = list->anchor.newer;
    while (link != nullptr && link != &list->anchor) {
        TnwBlockLink* next = link->newer;
        std::free(blockOf(link));
        link = next;
    }
}

void deleteObjects(TnwBlockList* list)
{
    for (TnwBlockLink* link = list->anchor.newer; link != nullptr && link != &list->anchor;
         link = link->newer) {
        TnwOwned* object = objectOf(blockOf(link));
        delete object;
        // The block may still be visited by a caller before the list is freed: forget the object.
        std::memset(blockOf(link)->data(), 0, sizeof(TnwOwned*));
    }
}

}  // namespace

int tnwBlInit(TnwBlockList* list)
{
    if (list == nullptr) return kTnwBuffNotInit;
    std::memset(list, 0, sizeof *list);
    std::memcpy(list->tag, kTag, 4);
    list->kind = kTnwBuffBytes;
    list->first = &list->anchor;
    list->anchor.older = &list->anchor;
    list->anchor.newer = &list->anchor;
    list->cursor = &list->anchor;
    return kTnwBuffOk;
}

int tnwBlValidate(const TnwBlockList* list)
{
    if (list == nullptr) return kTnwBuffNotInit;
    if (!hasTag(list)) return kTnwBuffBadTag;
    // A record copied byte for byte would still point into the original's ring.
    if (list->first == nullptr || list->first != &list->anchor) return kTnwBuffNotInit;
    return kTnwBuffOk;
}

int tnwBlAdd(TnwBlockList* list, long long size, const void* source)
{
    if (int rc = tnwBlValidate(list); rc != kTnwBuffOk) return rc;
    if (size < 1 || size > kTnwBuffMaxBlock) return kTnwBuffBadSize;
    const size_t bytes = static_cast<size_t>(size);
    void* memory = std::malloc(sizeof(TnwBlock) + bytes + kZeroTail);
    if (memory == nullptr) return kTnwBuffNoMemory;
    TnwBlock* block = static_cast<TnwBlock*>(memory);
    block->size = static_cast<int>(size);
    block->pad_ = 0;
    if (source != nullptr) {
        std::memcpy(block->data(), source, bytes);
        std::memset(block->data() + bytes, 0, kZeroTail);
    } else {
        std::memset(block->data(), 0, bytes + kZeroTail);
    }
    // Link in as the newest block: between the previous newest and the anchor.
    TnwBlockLink* newest = list->anchor.older;
    block->link.older = newest;
    block->link.newer = &list->anchor;
    newest->newer = &block->link;
    list->anchor.older = &block->link;
    ++list->count;
    setCurrent(list, &block->link);
    return kTnwBuffOk;
}

int tnwBlCount(const TnwBlockList* list)
{
    if (int rc = tnwBlValidate(list); rc != kTnwBuffOk) return rc;
    return list->count;
}

int tnwBlRewind(TnwBlockList* list)
{
    if (int rc = tnwBlValidate(list); rc != kTnwBuffOk) return rc;
    list->cursor = &list->anchor;
    return kTnwBuffOk;
}

int tnwBlNext(TnwBlockList* list)
{
    if (int rc = tnwBlValidate(list); rc != kTnwBuffOk) return rc;
    TnwBlockLink* next = list->cursor->newer;
    if (next == &list->anchor) return kTnwBuffAtEnd;
    list->cursor = next;
    setCurrent(list, next);
    return kTnwBuffOk;
}

int tnwBlSeek(TnwBlockList* list, int index)
{
    if (int rc = tnwBlValidate(list); rc != kTnwBuffOk) return rc;
    if (index < 0 || index >= list->count) return kTnwBuffAtEnd;
    TnwBlockLink* link = list->anchor.newer;
    for (int i = 0; i < index; ++i) link = link->newer;
    list->cursor = link;
    setCurrent(list, link);
    return kTnwBuffOk;
}

int tnwBlFreeAll(TnwBlockList* list)
{
    if (int rc = tnwBlValidate(list); rc != kTnwBuffOk) return rc;
    freeBlocks(list);
    std::memset(list, 0, sizeof *list);
    return kTnwBuffOk;
}

int tnwBlReset(TnwBlockList* list)
{
    if (list == nullptr) return kTnwBuffNotInit;
    if (tnwBlValidate(list) == kTnwBuffOk) {
        // Freeing an object list without deleting its objects would leak them.
        if (int rc = tnwBlDestroy(list); rc != kTnwBuffOk) return rc;
    }
    // A reset list is a list of bytes again, so later byte blocks are never taken for objects.
    return tnwBlInit(list);
}

int tnwBlDestroy(TnwBlockList* list)
{
    if (int rc = tnwBlValidate(list); rc != kTnwBuffOk) return rc;
    if (list->kind == kTnwBuffObjects) deleteObjects(list);
    return tnwBlFreeAll(list);
}

int tnwBlCopyTo(const TnwBlockList* list, TnwBlockList* other, int size)
{
    if (int rc = tnwBlValidate(list); rc != kTnwBuffOk) return rc;
    if (other == nullptr) return kTnwBuffNotInit;
    if (other == list) return kTnwBuffOk;  // a list copied onto itself is already its copy
    if (int rc = tnwBlReset(other); rc != kTnwBuffOk) return rc;
    other->kind = kTnwBuffBytes;  // pointers copied from an object list are not owned twice
    for (const TnwBlockLink* link = list->anchor.newer; link != &list->anchor;
         link = link->newer) {
        const TnwBlock* block = blockOf(link);
        int rc = kTnwBuffOk;
        if (size <= 0 || size == block->size) {
            rc = tnwBlAdd(other, block->size, block->data());
        } else {
            // Never read past the source block: copy what it has, zero-fill the rest.
            rc = tnwBlAdd(other, size, nullptr);
            if (rc == kTnwBuffOk) {
                std::memcpy(other->curData, block->data(),
                            static_cast<size_t>(size < block->size ? size : block->size));
            }
        }
        if (rc != kTnwBuffOk) return rc;
    }
    return kTnwBuffOk;
}

// ---------------------------------------------------------------------------------------------

CTnwbuff::CTnwbuff() : m_list{}, m_textLength(0), m_text(nullptr), m_size(0)
{
    tnwBlInit(&m_list);
}

CTnwbuff::~CTnwbuff() { CTnwbuff::Destroy(); }

void CTnwbuff::clearCurrent()
{
    m_textLength = 0;
    m_text = nullptr;
    m_size = 0;
}

void CTnwbuff::setCurrentFromList()
{
    m_size = m_list.curSize;
    if (m_list.kind == kTnwBuffObjects) {
        std::memcpy(&m_text, m_list.curData, sizeof m_text);
        m_textLength = 0;
    } else {
        m_text = m_list.curData;
        m_textLength = static_cast<int>(std::strlen(m_text));
    }
}

int CTnwbuff::Init()
{
    clearCurrent();
    return tnwBlInit(&m_list);
}

int CTnwbuff::Validate() const { return tnwBlValidate(&m_list); }

int CTnwbuff::Add(long long size, const void* source) { return tnwBlAdd(&m_list, size, source); }

int CTnwbuff::AddText(const char* text, int length)
{
    int rc = tnwBlAdd(&m_list, length, text);
    if (rc == kTnwBuffOk) {
        setCurrentFromList();
    } else {
        clearCurrent();
    }
    return rc;
}

int CTnwbuff::AddString(const char* text)
{
    if (text == nullptr) text = "";
    const size_t length = std::strlen(text);
    if (length >= static_cast<size_t>(kTnwBuffMaxBlock)) {
        clearCurrent();
        return kTnwBuffBadSize;
    }
    return AddText(text, static_cast<int>(length) + 1);
}

int CTnwbuff::AddObject(TnwOwned* object)
{
    if (int rc = Validate(); rc != kTnwBuffOk) return rc;
    if (m_list.kind != kTnwBuffObjects) {
        if (m_list.count != 0) return kTnwBuffBadTag;
        m_list.kind = kTnwBuffObjects;
    }
    return AddText(reinterpret_cast<const char*>(&object), sizeof object);
}

int CTnwbuff::Count() const { return tnwBlCount(&m_list); }

int CTnwbuff::Rewind()
{
    clearCurrent();
    return tnwBlRewind(&m_list);
}

int CTnwbuff::Next()
{
    int rc = tnwBlNext(&m_list);
    if (rc == kTnwBuffOk) {
        setCurrentFromList();
    } else {
        clearCurrent();
    }
    return rc;
}

int CTnwbuff::Seek(int index)
{
    int rc = tnwBlSeek(&m_list, index);
    if (rc == kTnwBuffOk) {
        setCurrentFromList();
    } else {
        clearCurrent();
    }
    return rc;
}

int CTnwbuff::FreeAll()
{
    clearCurrent();
    return tnwBlFreeAll(&m_list);
}

int CTnwbuff::Reset()
{
    clearCurrent();
    return tnwBlReset(&m_list);
}

int CTnwbuff::Destroy()
{
    clearCurrent();
    return tnwBlDestroy(&m_list);
}

int CTnwbuff::CopyTo(CTnwbuff* other, int size) const
{
    if (other == nullptr) return kTnwBuffNotInit;
    if (other == this) return Validate();
    other->clearCurrent();
    return tnwBlCopyTo(&m_list, &other->m_list, size);
}

int CTnwbuff::SetKind(int kind)
{
    if (int rc = Validate(); rc != kTnwBuffOk) return rc;
    if (kind != kTnwBuffBytes && kind != kTnwBuffObjects) return kTnwBuffBadTag;
    if (m_list.count != 0 && kind != m_list.kind) return kTnwBuffBadTag;
    m_list.kind = kind;
    return kTnwBuffOk;
}

TnwOwned* CTnwbuff::Object() const
{
    if (Validate() != kTnwBuffOk || m_list.kind != kTnwBuffObjects) return nullptr;
    if (m_list.curData == nullptr || m_list.curSize != static_cast<int>(sizeof(TnwOwned*))) {
        return nullptr;
    }
    TnwOwned* object = nullptr;
    std::memcpy(&object, m_list.curData, sizeof object);
    return object;
}
