// Platform-independent half of the OS layer: memory, the list queue and the
// message queue built on the kernel objects of the back end.
#include "engine/platform/os.h"

#include <stdlib.h>
#include <string.h>

void* OS_Malloc(size_t size) { return malloc(size); }

void* OS_MallocZero(size_t size) { return calloc(1, size ? size : 1); }

void* OS_MallocZeroChecked(size_t size) {
    if (size == 0) return nullptr;
    return calloc(1, size);
}

void* OS_Realloc(void* block, size_t size) {
    if (size == 0) return block;
    return realloc(block, size);
}

void* OS_Calloc(size_t count, size_t size) {
    if (size == 0) return nullptr;
    return calloc(count, size);
}

void OS_Free(void* block) { free(block); }

void OS_Free2(void* block) { free(block); }

void* OS_Grow(void* block, size_t newSize, size_t oldSize) {
    if (newSize == 0) {
        free(block);
        return nullptr;
    }
    void* grown = calloc(1, newSize);
    if (!grown) return nullptr;
    // A shrink copies only what fits.
    if (block) memcpy(grown, block, oldSize < newSize ? oldSize : newSize);
    free(block);
    return grown;
}

uint32_t OS_Random(void) {
    srand(OS_GetTickCount());
    uint64_t r = (uint64_t)(uint32_t)rand();
    return 10000000u + (uint32_t)(r * 100000000u >> 32);
}

// ---- list queue ----

struct ListNode {
    uint32_t size;
    void* data;
    ListNode* next;
};

struct ListQueue {
    ListNode* head;
    ListNode* tail;
    ListNode* cursor;
    OsLockWord lock;
    int count;
};

ListQueue* List_Create(void) {
    ListQueue* list = static_cast<ListQueue*>(calloc(1, sizeof(ListQueue)));
    if (!list) return nullptr;
    list->lock = OS_CreateLock();
    if (list->lock == OS_INVALID_HANDLE) {
        free(list);
        return nullptr;
    }
    return list;
}

static void FreeNodes(ListQueue* list) {
    ListNode* n = list->head;
    while (n) {
        ListNode* next = n->next;
        free(n->data);
        free(n);
        n = next;
    }
    list->head = list->tail = list->cursor = nullptr;
    list->count = 0;
}

void List_Destroy(ListQueue* list) {
    if (!list) return;
    FreeNodes(list);
    OS_DeleteLock(list->lock);
    free(list);
}

void List_Clear(ListQueue* list) {
    if (!list) return;
    OS_Lock(list->lock);
    FreeNodes(list);
    OS_Unlock(list->lock);
}

int List_Push(ListQueue* list, void* data, uint32_t size) {
    if (!list) return 0;
    ListNode* node = static_cast<ListNode*>(malloc(sizeof(ListNode)));
    if (!node) return 0;
    node->size = size;
    node->data = data;
    node->next = nullptr;
    OS_Lock(list->lock);
    if (list->tail)
        list->tail->next = node;
    else
        list->head = node;
    list->tail = node;
    list->count++;
    OS_Unlock(list->lock);
    return 1;
}

void* List_Pop(ListQueue* list, uint32_t* size) {
    if (size) *size = 0;
    if (!list) return nullptr;
    OS_Lock(list->lock);
    ListNode* node = list->head;
    if (!node) {
        OS_Unlock(list->lock);
        return nullptr;
    }
    list->head = node->next;
    if (!list->head) list->tail = nullptr;
    if (list->cursor == node) list->cursor = nullptr;
    list->count--;
    OS_Unlock(list->lock);
    void* data = node->data;
    if (size) *size = node->size;
    free(node);
    return data;
}

void* List_PeekHead(ListQueue* list, uint32_t* size) {
    if (size) *size = 0;
    if (!list) return nullptr;
    OS_Lock(list->lock);
    ListNode* node = list->head;
    list->cursor = node;
    void* data = node ? node->data : nullptr;
    if (size && node) *size = node->size;
    OS_Unlock(list->lock);
    return data;
}

int List_Count(ListQueue* list) {
    if (!list) return 0;
    OS_Lock(list->lock);
    int n = list->count;
    OS_Unlock(list->lock);
    return n;
}

// ---- message queue ----

struct MsgQueue {
    ListQueue* list;
    OsHandle sem;
    OsLockWord lock;  // keeps the pending count and the list in step
    int32_t depth;
    int32_t pending;
};

OsMsgQueue OS_CreateMsgQueue(const char16_t* name, int32_t depth) {
    (void)name;
    if (depth < 1) return OS_INVALID_HANDLE;
    MsgQueue* q = static_cast<MsgQueue*>(calloc(1, sizeof(MsgQueue)));
    if (!q) return OS_INVALID_HANDLE;
    q->depth = depth;
    q->list = List_Create();
    q->sem = OS_CreateSemaphore(0, depth, nullptr);
    q->lock = OS_CreateLock();
    if (!q->list || !q->sem || q->lock == OS_INVALID_HANDLE) {
        List_Destroy(q->list);
        OS_CloseSemaphore(q->sem);
        if (q->lock != OS_INVALID_HANDLE) OS_DeleteLock(q->lock);
        free(q);
        return OS_INVALID_HANDLE;
    }
    return reinterpret_cast<OsMsgQueue>(q);
}

static MsgQueue* AsQueue(OsMsgQueue queue) {
    if (queue == 0 || queue == OS_INVALID_HANDLE) return nullptr;
    return reinterpret_cast<MsgQueue*>(queue);
}

void OS_DestroyMsgQueue(OsMsgQueue queue) {
    MsgQueue* q = AsQueue(queue);
    if (!q) return;
    List_Destroy(q->list);
    OS_CloseSemaphore(q->sem);
    OS_DeleteLock(q->lock);
    free(q);
}

int OS_PostMsg(OsMsgQueue queue, const void* msg, uint32_t size) {
    MsgQueue* q = AsQueue(queue);
    if (!q || (size && !msg)) return 0;
    void* copy = malloc(size ? size : 1);
    if (!copy) return 0;
    if (size) memcpy(copy, msg, size);
    OS_Lock(q->lock);
    // A full queue refuses the message rather than holding one the
    // semaphore does not count.
    if (q->pending >= q->depth || !List_Push(q->list, copy, size)) {
        OS_Unlock(q->lock);
        free(copy);
        return 0;
    }
    q->pending++;
    OS_ReleaseSemaphore(q->sem);
    OS_Unlock(q->lock);
    return 1;
}

void* OS_ReceiveMsg(OsMsgQueue queue, void* buffer, uint32_t size, int wait) {
    MsgQueue* q = AsQueue(queue);
    if (!q) return nullptr;
    if (!OS_WaitSemaphore(q->sem, wait > 0 ? OS_INFINITE : 0)) return nullptr;
    OS_Lock(q->lock);
    uint32_t stored = 0;
    void* data = List_Pop(q->list, &stored);
    if (data) q->pending--;
    OS_Unlock(q->lock);
    if (!data) return nullptr;
    if (buffer) memcpy(buffer, data, stored < size ? stored : size);
    free(data);
    return buffer;
}
