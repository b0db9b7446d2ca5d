#include "memory_registry.h"

#include <algorithm>
#include <cstring>

namespace {

char16_t Fold(char16_t c) {
    return c >= u'a' && c <= u'z' ? c - u'a' + u'A' : c;
}

// The registry's names ignore case.
bool SameName(const std::u16string& a, const std::u16string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](auto x, auto y) { return Fold(x) == Fold(y); });
}

bool NameBefore(const std::u16string& a, const std::u16string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](auto x, auto y) { return Fold(x) < Fold(y); });
}

std::vector<std::u16string> SplitPath(const std::u16string& path) {
    std::vector<std::u16string> parts(1);
    for (char16_t c : path) {
        if (c == u'\\')
            parts.emplace_back();
        else
            parts.back() += c;
    }
    return parts;
}

std::string Narrow(const std::u16string& text) {
    std::string out;
    for (char16_t c : text)
        out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

} // namespace

RegResult MemoryRegistry::Fault(Op op) {
    ++m_nCalls[op];
    if (m_failAt[op] == 0 || --m_failAt[op] != 0)
        return kRegOk;
    return m_failWith[op];
}

void MemoryRegistry::FailCall(Op op, int nth, RegResult err) {
    m_failAt[op] = nth;
    m_failWith[op] = err;
}

MemoryRegistry::Node* MemoryRegistry::Find(RegKey key) {
    if (key == kCurrentUser)
        return m_currentUser.get();
    if (key == kLocalMachine)
        return m_localMachine.get();
    auto it = m_handles.find(key);
    return it == m_handles.end() ? nullptr : it->second.get();
}

MemoryRegistry::NodePtr MemoryRegistry::Walk(RegKey parent, const std::u16string& path, bool create,
                                             bool* created) {
    Node* node = Find(parent);
    NodePtr found;
    for (const std::u16string& part : SplitPath(path)) {
        if (!node)
            return nullptr;
        auto it = std::find_if(node->children.begin(), node->children.end(),
                               [&](const NodePtr& child) { return SameName(child->name, part); });
        if (it != node->children.end()) {
            found = *it;
        } else if (create) {
            found = std::make_shared<Node>();
            found->name = part;
            node->children.push_back(found);
            if (created)
                *created = true;
        } else {
            return nullptr;
        }
        node = found.get();
    }
    return found;
}

std::vector<MemoryRegistry::Node*> MemoryRegistry::Listed(Node& node) {
    std::vector<Node*> listed;
    for (const NodePtr& child : node.children)
        listed.push_back(child.get());
    if (m_order == Order::Sorted)
        std::stable_sort(listed.begin(), listed.end(),
                         [](Node* a, Node* b) { return NameBefore(a->name, b->name); });
    return listed;
}

MemoryRegistry::Value* MemoryRegistry::FindValue(Node& node, const std::u16string& name) {
    for (Value& value : node.values)
        if (SameName(value.name, name))
            return &value;
    return nullptr;
}

RegKey MemoryRegistry::NewHandle(NodePtr node) {
    m_nextHandle += 4;
    m_handles[m_nextHandle] = std::move(node);
    return m_nextHandle;
}

void MemoryRegistry::AddKey(RegKey root, const std::u16string& path) {
    Walk(root, path, true, nullptr);
}

void MemoryRegistry::PutValue(RegKey root, const std::u16string& path, const std::u16string& name,
                              uint32_t type, const std::string& bytes) {
    Node& node = *Walk(root, path, true, nullptr);
    if (Value* value = FindValue(node, name))
        *value = {name, type, bytes};
    else
        node.values.push_back({name, type, bytes});
}

void MemoryRegistry::PutText(RegKey root, const std::u16string& path, const std::u16string& name,
                             const std::u16string& text) {
    const char* bytes = reinterpret_cast<const char*>(text.c_str());
    PutValue(root, path, name, kRegSz, std::string(bytes, (text.size() + 1) * 2));
}

void MemoryRegistry::PutSecurityText(RegKey root, const std::u16string& path,
                                     const std::string& text) {
    Walk(root, path, true, nullptr)->security = text;
}

void MemoryRegistry::DenyFullAccess(RegKey root, const std::u16string& path) {
    Walk(root, path, true, nullptr)->bQueryOnly = true;
}

bool MemoryRegistry::HasKey(RegKey root, const std::u16string& path) {
    return Walk(root, path, false, nullptr) != nullptr;
}

bool MemoryRegistry::ValueBytes(RegKey root, const std::u16string& path, const std::u16string& name,
                                uint32_t* type, std::string* bytes) {
    NodePtr node = Walk(root, path, false, nullptr);
    Value* value = node ? FindValue(*node, name) : nullptr;
    if (!value)
        return false;
    *type = value->type;
    *bytes = value->bytes;
    return true;
}

std::vector<std::u16string> MemoryRegistry::SubKeys(RegKey root, const std::u16string& path) {
    std::vector<std::u16string> names;
    if (NodePtr node = Walk(root, path, false, nullptr))
        for (Node* child : Listed(*node))
            names.push_back(child->name);
    return names;
}

std::string MemoryRegistry::Dump(RegKey root, const std::u16string& path, bool bByName) {
    std::string out;
    if (NodePtr node = Walk(root, path, false, nullptr))
        DumpNode(*node, "", bByName, &out);
    return out;
}

void MemoryRegistry::DumpNode(Node& node, const std::string& indent, bool bByName,
                              std::string* out) {
    *out += indent + Narrow(node.name) + " [" + node.security + "]\n";
    std::vector<Value> values = node.values;
    std::vector<Node*> children = Listed(node);
    if (bByName) {
        std::sort(values.begin(), values.end(),
                  [](const Value& a, const Value& b) { return NameBefore(a.name, b.name); });
        std::sort(children.begin(), children.end(),
                  [](Node* a, Node* b) { return NameBefore(a->name, b->name); });
    }
    for (const Value& value : values)
        *out += indent + "  " + Narrow(value.name) + " = " + std::to_string(value.type) + ":" +
                std::to_string(value.bytes.size()) + ":" + value.bytes + "\n";
    for (Node* child : children)
        DumpNode(*child, indent + "  ", bByName, out);
}

RegResult MemoryRegistry::OpenKey(RegKey parent, const RegChar* name, RegAccess access,
                                  RegKey* key) {
    if (RegResult err = Fault(Open))
        return err;
    NodePtr node = Walk(parent, name, false, nullptr);
    if (!node)
        return kErrFileNotFound;
    if (access == RegAccess::All && node->bQueryOnly)
        return kErrAccessDenied;
    *key = NewHandle(node);
    return kRegOk;
}

RegResult MemoryRegistry::CreateKey(RegKey parent, const RegChar* name, RegKey* key,
                                    bool* created) {
    if (RegResult err = Fault(Create))
        return err;
    bool isNew = false;
    NodePtr node = Walk(parent, name, true, &isNew);
    if (!node)
        return kErrFileNotFound;
    if (node->bQueryOnly)
        return kErrAccessDenied;
    *key = NewHandle(node);
    if (created)
        *created = isNew;
    return kRegOk;
}

RegResult MemoryRegistry::CloseKey(RegKey key) {
    if (RegResult err = Fault(Close))
        return err;
    return m_handles.erase(key) ? kRegOk : 6; // ERROR_INVALID_HANDLE
}

RegResult MemoryRegistry::DeleteKey(RegKey parent, const RegChar* name) {
    if (RegResult err = Fault(Delete))
        return err;
    Node* node = Find(parent);
    if (!node)
        return 6;
    auto& children = node->children;
    auto it = std::find_if(children.begin(), children.end(),
                           [&](const NodePtr& child) { return SameName(child->name, name); });
    if (it == children.end())
        return kErrFileNotFound;
    if (!(*it)->children.empty())
        return kErrAccessDenied; // as the system does: subkeys go first
    children.erase(it);
    return kRegOk;
}

RegResult MemoryRegistry::QueryInfoKey(RegKey key, RegKeyInfo* info) {
    if (RegResult err = Fault(QueryInfo))
        return err;
    Node* node = Find(key);
    *info = {};
    info->nSubKeys = static_cast<uint32_t>(node->children.size());
    for (const NodePtr& child : node->children)
        info->nMaxSubKeyLen = std::max<uint32_t>(info->nMaxSubKeyLen, child->name.size());
    info->nValues = static_cast<uint32_t>(node->values.size());
    for (const Value& value : node->values) {
        info->nMaxValueNameLen = std::max<uint32_t>(info->nMaxValueNameLen, value.name.size());
        info->nMaxValueLen = std::max<uint32_t>(info->nMaxValueLen, value.bytes.size());
    }
    info->nSecurityLen = static_cast<uint32_t>(node->security.size() + 1);
    return kRegOk;
}

RegResult MemoryRegistry::EnumKey(RegKey key, uint32_t index, RegChar* name, uint32_t* nameLen) {
    if (RegResult err = Fault(EnumKeys))
        return err;
    std::vector<Node*> listed = Listed(*Find(key));
    if (index >= listed.size())
        return kErrNoMoreItems;
    const std::u16string& found = listed[index]->name;
    if (found.size() >= *nameLen)
        return kErrMoreData;
    std::copy(found.c_str(), found.c_str() + found.size() + 1, name);
    *nameLen = static_cast<uint32_t>(found.size());
    return kRegOk;
}

RegResult MemoryRegistry::EnumValue(RegKey key, uint32_t index, RegChar* name, uint32_t* nameLen,
                                    uint32_t* type, uint8_t* data, uint32_t* dataLen) {
    if (RegResult err = Fault(EnumValues))
        return err;
    Node* node = Find(key);
    if (index >= node->values.size())
        return kErrNoMoreItems;
    const Value& value = node->values[index];
    if (value.name.size() >= *nameLen || (data && value.bytes.size() > *dataLen))
        return kErrMoreData;
    std::copy(value.name.c_str(), value.name.c_str() + value.name.size() + 1, name);
    *nameLen = static_cast<uint32_t>(value.name.size());
    *type = value.type;
    if (data)
        std::memcpy(data, value.bytes.data(), value.bytes.size());
    *dataLen = static_cast<uint32_t>(value.bytes.size());
    return kRegOk;
}

RegResult MemoryRegistry::QueryValue(RegKey key, const RegChar* name, uint32_t* type, uint8_t* data,
                                     uint32_t* dataLen) {
    if (RegResult err = Fault(Query))
        return err;
    Value* value = FindValue(*Find(key), name);
    if (!value)
        return kErrFileNotFound;
    *type = value->type;
    const uint32_t room = *dataLen;
    *dataLen = static_cast<uint32_t>(value->bytes.size());
    if (data && value->bytes.size() > room)
        return kErrMoreData;
    if (data)
        std::memcpy(data, value->bytes.data(), value->bytes.size());
    return kRegOk;
}

RegResult MemoryRegistry::SetValue(RegKey key, const RegChar* name, uint32_t type,
                                   const uint8_t* data, uint32_t dataLen) {
    if (RegResult err = Fault(Set))
        return err;
    Node& node = *Find(key);
    Value value{name, type, std::string(reinterpret_cast<const char*>(data), dataLen)};
    if (Value* old = FindValue(node, name))
        *old = value;
    else
        node.values.push_back(value);
    return kRegOk;
}

RegResult MemoryRegistry::DeleteValue(RegKey key, const RegChar* name) {
    if (RegResult err = Fault(Unset))
        return err;
    auto& values = Find(key)->values;
    auto it = std::find_if(values.begin(), values.end(),
                           [&](const Value& value) { return SameName(value.name, name); });
    if (it == values.end())
        return kErrFileNotFound;
    values.erase(it);
    return kRegOk;
}

RegResult MemoryRegistry::GetKeySecurity(RegKey key, uint32_t, uint8_t* descriptor, uint32_t* len) {
    if (RegResult err = Fault(GetSecurity))
        return err;
    const std::string& text = Find(key)->security;
    const uint32_t room = *len;
    *len = static_cast<uint32_t>(text.size() + 1);
    if (room < *len)
        return kErrInsufficientBuffer;
    std::memcpy(descriptor, text.c_str(), *len);
    return kRegOk;
}

RegResult MemoryRegistry::SetKeySecurity(RegKey key, uint32_t, const uint8_t* descriptor) {
    if (RegResult err = Fault(PutSecurity))
        return err;
    const char* text = reinterpret_cast<const char*>(descriptor);
    if (std::strstr(text, "owner=unassignable"))
        return 1307; // ERROR_INVALID_OWNER: an owner the caller may not give a key
    Find(key)->security = text;
    return kRegOk;
}

RegChar* MemoryRegistry::AllocName(size_t nChars) {
    if (Fault(Alloc))
        return nullptr;
    ++m_nBuffers;
    return new RegChar[nChars];
}

void MemoryRegistry::FreeName(RegChar* name) {
    --m_nBuffers;
    delete[] name;
}
