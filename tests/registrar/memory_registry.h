#pragma once
// A registry in memory for the registrar's tests. It lists subkeys in creation order
// (or sorted by name, as current registries do), refuses to delete a key that has
// subkeys, counts open handles and name buffers, and fails any chosen call on request.
// Security descriptors are plain texts here, terminator included; one that names the
// owner "unassignable" can be read but not written, as a caller can't hand out every owner.

#include "registry_api.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

class MemoryRegistry : public RegistryApi {
public:
    enum class Order { Creation, Sorted };
    enum Op {
        Open,
        Create,
        Close,
        Delete,
        QueryInfo,
        EnumKeys,
        EnumValues,
        Query,
        Set,
        Unset,
        GetSecurity,
        PutSecurity,
        Alloc,
        OpCount
    };

    explicit MemoryRegistry(Order order = Order::Creation) : m_order(order) {}

    // Setup and inspection by path under a root; a missing key reads as absent.
    void AddKey(RegKey root, const std::u16string& path);
    void PutValue(RegKey root, const std::u16string& path, const std::u16string& name,
                  uint32_t type, const std::string& bytes);
    void PutText(RegKey root, const std::u16string& path, const std::u16string& name,
                 const std::u16string& text); // REG_SZ with its terminator
    void PutSecurityText(RegKey root, const std::u16string& path, const std::string& text);
    void DenyFullAccess(RegKey root, const std::u16string& path); // query access only
    bool HasKey(RegKey root, const std::u16string& path);
    bool ValueBytes(RegKey root, const std::u16string& path, const std::u16string& name,
                    uint32_t* type, std::string* bytes);
    std::vector<std::u16string> SubKeys(RegKey root, const std::u16string& path);
    // Everything in a key tree as text: names, values, security, subkeys in order; or
    // with values and subkeys sorted by name, for the contents alone.
    std::string Dump(RegKey root, const std::u16string& path, bool bByName = false);

    // The nth call of `op` from now on (1 = the next one) fails with `err`, once.
    void FailCall(Op op, int nth, RegResult err = kErrAccessDenied);
    int Calls(Op op) const { return m_nCalls[op]; }
    size_t OpenHandles() const { return m_handles.size(); }
    size_t LiveBuffers() const { return m_nBuffers; }

    RegResult OpenKey(RegKey parent, const RegChar* name, RegAccess access, RegKey* key) override;
    RegResult CreateKey(RegKey parent, const RegChar* name, RegKey* key, bool* created) override;
    RegResult CloseKey(RegKey key) override;
    RegResult DeleteKey(RegKey parent, const RegChar* name) override;
    RegResult QueryInfoKey(RegKey key, RegKeyInfo* info) override;
    RegResult EnumKey(RegKey key, uint32_t index, RegChar* name, uint32_t* nameLen) override;
    RegResult EnumValue(RegKey key, uint32_t index, RegChar* name, uint32_t* nameLen,
                        uint32_t* type, uint8_t* data, uint32_t* dataLen) override;
    RegResult QueryValue(RegKey key, const RegChar* name, uint32_t* type, uint8_t* data,
                         uint32_t* dataLen) override;
    RegResult SetValue(RegKey key, const RegChar* name, uint32_t type, const uint8_t* data,
                       uint32_t dataLen) override;
    RegResult DeleteValue(RegKey key, const RegChar* name) override;
    RegResult GetKeySecurity(RegKey key, uint32_t parts, uint8_t* descriptor,
                             uint32_t* len) override;
    RegResult SetKeySecurity(RegKey key, uint32_t parts, const uint8_t* descriptor) override;
    RegChar* AllocName(size_t nChars) override;
    void FreeName(RegChar* name) override;

private:
    struct Value {
        std::u16string name;
        uint32_t type;
        std::string bytes;
    };
    struct Node {
        std::u16string name;
        std::vector<Value> values;
        std::vector<std::shared_ptr<Node>> children; // creation order
        std::string security = "default";
        bool bQueryOnly = false;
    };
    using NodePtr = std::shared_ptr<Node>;

    RegResult Fault(Op op);
    Node* Find(RegKey key);
    NodePtr Walk(RegKey parent, const std::u16string& path, bool create, bool* created);
    std::vector<Node*> Listed(Node& node);
    Value* FindValue(Node& node, const std::u16string& name);
    RegKey NewHandle(NodePtr node);
    void DumpNode(Node& node, const std::string& indent, bool bByName, std::string* out);

    Order m_order;
    NodePtr m_currentUser = std::make_shared<Node>();
    NodePtr m_localMachine = std::make_shared<Node>();
    std::map<RegKey, NodePtr> m_handles;
    RegKey m_nextHandle = 0x1000;
    size_t m_nBuffers = 0;
    int m_nCalls[OpCount] = {};
    int m_failAt[OpCount] = {};
    RegResult m_failWith[OpCount] = {};
};
