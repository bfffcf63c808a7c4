// [Node Declarations] of a component: the names of its internal nodes.
#define MSG_SRC MSGSRC_NODE
#include "IbisParser/node.h"

#include "IbisParser/cmn.h"
#include "IbisParser/msg.h"
#include "IbisParser/stringlist.h"

namespace {

const char kSourceName[] = "IbisParser/node";

}  // namespace

int NODE_ParseList(const char *line, STRING_LIST **list) {
    MSG_ASSERT(line != nullptr && list != nullptr);
    const char *at = line;
    for (;;) {
        CMN_SkipBlanks(&at);
        if (*at == '\0')
            return 1;
        const size_t length = static_cast<size_t>(CMN_TokenLength(at, 0));
        char *name = CMN_StrNDup(at, length);
        STRING_LIST *node = nullptr;
        if (name == nullptr || !CMN_Alloc(&node, sizeof(STRING_LIST))) {
            CMN_Free(name);
            MSG_Bug(3600, kSourceName, __LINE__);
            return 0;
        }
        node->text = name;
        node->next = *list;
        *list = node;
        at += length;
    }
}

void NODE_EndDeclarations(void) {}
