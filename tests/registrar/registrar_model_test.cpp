// The registrar's logic on a registry in memory: creation order (which no current
// registry keeps, and which the reordering of helper keys exists for), sorted order,
// and a failure injected into any call. Every test ends with no key or buffer left open.
#include "key_tree.h"
#include "memory_registry.h"
#include "registrar.h"

#include <gtest/gtest.h>

namespace {

using Order = MemoryRegistry::Order;

const std::u16string kNetscape = u"Software\\Netscape\\Netscape Navigator";
const std::u16string kProtocols = kNetscape + u"\\Automation Protocols";
const std::u16string kExplorer = u"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer";
const std::u16string kIeHelpers = kExplorer + u"\\Browser Helper Objects";
const std::u16string kNetCaptor = u"Software\\Stilesoft\\NetCaptor\\CurrentVersion";
const std::u16string kNcHelpers = kNetCaptor + u"\\Browser Helper Objects";
const std::u16string kConfigure = u"Software\\Corvid\\Configure";
const std::u16string kClassId = u"{3C8A2F60-1B7D-4E59-A0C4-7D21E6B95F13}";

std::string Bytes(const std::u16string& text, bool terminated = true) {
    return std::string(reinterpret_cast<const char*>(text.c_str()),
                       (text.size() + (terminated ? 1 : 0)) * 2);
}
const std::string kProgIdBytes = Bytes(u"Corvid.Netscape.Monitor");

class RegistrarTest : public ::testing::Test {
protected:
    void TearDown() override {
        EXPECT_EQ(reg.OpenHandles(), 0u);
        EXPECT_EQ(reg.LiveBuffers(), 0u);
    }
    bool Holds(const std::u16string& path, const std::u16string& name, const std::string& bytes,
               uint32_t type = kRegSz) {
        uint32_t foundType = 0;
        std::string found;
        return reg.ValueBytes(kCurrentUser, path, name, &foundType, &found) && found == bytes &&
               foundType == type;
    }
    bool HasValue(const std::u16string& path, const std::u16string& name) {
        uint32_t type;
        std::string bytes;
        return reg.ValueBytes(kCurrentUser, path, name, &type, &bytes);
    }
    // Two keys of other programs with values, subkeys and security of their own.
    void AddForeignHelpers(MemoryRegistry& model) {
        model.AddKey(kLocalMachine, kIeHelpers + u"\\{A}\\Settings\\Deep");
        model.PutText(kLocalMachine, kIeHelpers + u"\\{A}", u"", u"Toolbar \u03a9");
        model.PutValue(kLocalMachine, kIeHelpers + u"\\{A}", u"NoExplorer", kRegDword,
                       std::string("\1\0\0\0", 4));
        model.PutText(kLocalMachine, kIeHelpers + u"\\{A}\\Settings\\Deep", u"x", u"y");
        model.AddKey(kLocalMachine, kIeHelpers + u"\\{A}\\Other");
        model.PutSecurityText(kLocalMachine, kIeHelpers + u"\\{A}", "owner=A;deny=Users");
        model.PutSecurityText(kLocalMachine, kIeHelpers + u"\\{A}\\Settings", "owner=A2");
        model.PutText(kLocalMachine, kIeHelpers + u"\\{B}", u"Name", u"B");
    }

    MemoryRegistry reg;
};

using NetscapeTest = RegistrarTest;

TEST_F(NetscapeTest, OnlyAStringThatFitsTheBufferNamesTheProgId) {
    struct Case {
        uint32_t type;
        std::string bytes;
        bool ours;
    } cases[] = {
        {kRegSz, Bytes(u"Corvid.Netscape.Monitor", false), true}, // no terminator stored
        {kRegSz, kProgIdBytes + Bytes(u"junk"), true},            // the text ends at the zero
        {2 /* REG_EXPAND_SZ */, kProgIdBytes, false},
        {3 /* REG_BINARY */, kProgIdBytes, false},
        {kRegSz, Bytes(std::u16string(39, u'x'), false), false}, // fills every byte it may
        {kRegSz, Bytes(std::u16string(40, u'x'), false), false}, // one character too long
        {kRegSz, Bytes(u"Corvid.Netscape.Monitor.Extra"), false},
    };
    reg.AddKey(kCurrentUser, kNetscape);
    for (const Case& c : cases) {
        reg.PutValue(kCurrentUser, kProtocols, u"http", c.type, c.bytes);
        reg.PutValue(kCurrentUser, kProtocols, u"ftp", kRegSz, kProgIdBytes);
        EXPECT_EQ(registrar::RegNetscape(reg), c.ours ? 1 : 0);
        reg.PutValue(kCurrentUser, kProtocols, u"http", c.type, c.bytes);
        EXPECT_EQ(registrar::UnregNetscape(reg), 1);
        EXPECT_EQ(HasValue(kProtocols, u"http"), !c.ours) << c.bytes.size();
    }
}

TEST_F(NetscapeTest, FailuresGiveMinusOneAndKeepEarlierWork) {
    reg.AddKey(kCurrentUser, kNetscape);
    reg.FailCall(MemoryRegistry::Create, 1);
    EXPECT_EQ(registrar::RegNetscape(reg), -1);
    EXPECT_FALSE(reg.HasKey(kCurrentUser, kProtocols));

    reg.FailCall(MemoryRegistry::Set, 1); // "http": "ftp" isn't even read
    EXPECT_EQ(registrar::RegNetscape(reg), -1);
    EXPECT_EQ(reg.Calls(MemoryRegistry::Query), 1);
    EXPECT_FALSE(HasValue(kProtocols, u"ftp"));

    reg.FailCall(MemoryRegistry::Set, 2); // "ftp": "http" stays written
    EXPECT_EQ(registrar::RegNetscape(reg), -1);
    EXPECT_TRUE(Holds(kProtocols, u"http", kProgIdBytes));
    EXPECT_FALSE(HasValue(kProtocols, u"ftp"));

    reg.FailCall(MemoryRegistry::Unset, 1);
    EXPECT_EQ(registrar::UnregNetscape(reg), -1);
    EXPECT_TRUE(HasValue(kProtocols, u"http"));
    reg.FailCall(MemoryRegistry::Open, 2); // the presence key opens, the protocols key doesn't
    EXPECT_EQ(registrar::UnregNetscape(reg), 2);
    EXPECT_TRUE(HasValue(kProtocols, u"http"));
}

using HelperObjectTest = RegistrarTest;

TEST_F(HelperObjectTest, AbsentBrowserTouchesNothing) {
    EXPECT_EQ(registrar::RegIE(reg), 2);
    EXPECT_EQ(registrar::UnregIE(reg), 2);
    EXPECT_EQ(registrar::RegNetCaptor(reg), 2);
    EXPECT_EQ(registrar::UnregNetCaptor(reg), 2);
    EXPECT_TRUE(reg.SubKeys(kLocalMachine, u"Software").empty());
    EXPECT_TRUE(reg.SubKeys(kCurrentUser, u"Software").empty());

    // A user who can't write the machine's keys sees no Internet Explorer.
    reg.AddKey(kLocalMachine, kIeHelpers + u"\\" + kClassId);
    reg.DenyFullAccess(kLocalMachine, kExplorer);
    EXPECT_EQ(registrar::RegIE(reg), 2);
    EXPECT_EQ(registrar::UnregIE(reg), 2);
    EXPECT_TRUE(reg.HasKey(kLocalMachine, kIeHelpers + u"\\" + kClassId));
}

TEST_F(HelperObjectTest, ClassKeyGoesFirstAndOtherKeysKeepEverything) {
    reg.AddKey(kLocalMachine, kExplorer);
    AddForeignHelpers(reg);
    const std::string a = reg.Dump(kLocalMachine, kIeHelpers + u"\\{A}");
    const std::string b = reg.Dump(kLocalMachine, kIeHelpers + u"\\{B}");
    EXPECT_EQ(registrar::RegIE(reg), 0);
    EXPECT_EQ(reg.SubKeys(kLocalMachine, kIeHelpers),
              (std::vector<std::u16string>{kClassId, u"{A}", u"{B}"}));
    EXPECT_EQ(reg.Dump(kLocalMachine, kIeHelpers + u"\\{A}"), a);
    EXPECT_EQ(reg.Dump(kLocalMachine, kIeHelpers + u"\\{B}"), b);
    EXPECT_EQ(registrar::RegIE(reg), 1);
}

TEST_F(HelperObjectTest, KeyWhoseOwnerCantBeRestoredIsLeftAlone) {
    reg.AddKey(kLocalMachine, kExplorer);
    AddForeignHelpers(reg);
    reg.PutSecurityText(kLocalMachine, kIeHelpers + u"\\{A}\\Settings", "owner=unassignable");
    const std::string before = reg.Dump(kLocalMachine, kIeHelpers);
    EXPECT_EQ(registrar::RegIE(reg), -1);
    EXPECT_EQ(reg.Calls(MemoryRegistry::Delete), 0);
    EXPECT_EQ(reg.Dump(kLocalMachine, kIeHelpers),
              before + "  {3C8A2F60-1B7D-4E59-A0C4-7D21E6B95F13} [default]\n");
}

TEST_F(HelperObjectTest, SortedRegistryMovesAKeyOnlyOnce) {
    MemoryRegistry sorted(Order::Sorted);
    sorted.AddKey(kLocalMachine, kExplorer);
    for (const char16_t* name : {u"{0}", u"{1}", u"{2}", u"{F}"})
        sorted.PutText(kLocalMachine, kIeHelpers + u"\\" + name, u"", name);
    auto dumpForeign = [&sorted] {
        std::string all;
        for (const char16_t* name : {u"{0}", u"{1}", u"{2}", u"{F}"})
            all += sorted.Dump(kLocalMachine, kIeHelpers + u"\\" + name);
        return all;
    };
    const std::string before = dumpForeign();
    EXPECT_EQ(registrar::RegIE(sorted), 0);
    EXPECT_EQ(sorted.Calls(MemoryRegistry::Delete), 1);
    EXPECT_EQ(registrar::RegIE(sorted), 1);
    EXPECT_EQ(sorted.Calls(MemoryRegistry::Delete), 2);
    EXPECT_EQ(sorted.SubKeys(kLocalMachine, kIeHelpers),
              (std::vector<std::u16string>{u"{0}", u"{1}", u"{2}", kClassId, u"{F}"}));
    EXPECT_EQ(dumpForeign(), before);
    EXPECT_EQ(sorted.OpenHandles(), 0u);
}

TEST_F(HelperObjectTest, EachFailingCallGivesMinusOne) {
    const MemoryRegistry::Op ops[] = {MemoryRegistry::Create, MemoryRegistry::Create,
                                      MemoryRegistry::QueryInfo, MemoryRegistry::Alloc,
                                      MemoryRegistry::EnumKeys};
    int nth[] = {1, 2, 1, 1, 1};
    for (size_t i = 0; i < std::size(ops); ++i) {
        MemoryRegistry model;
        model.AddKey(kLocalMachine, kIeHelpers + u"\\{B}");
        model.FailCall(ops[i], nth[i]);
        EXPECT_EQ(registrar::RegIE(model), -1) << i;
        EXPECT_EQ(model.OpenHandles(), 0u);
        EXPECT_EQ(model.LiveBuffers(), 0u);
    }
}

// Whichever single registry call fails while another program's keys are being moved,
// they keep every value, subkey and descriptor (after a failure, a key put back may list
// its own values and subkeys in another order); on success the class key leads.
TEST_F(HelperObjectTest, NoSingleFailureLosesAnotherProgramsKey) {
    auto setUp = [this](MemoryRegistry& model) {
        model.AddKey(kLocalMachine, kExplorer);
        AddForeignHelpers(model);
    };
    MemoryRegistry clean;
    setUp(clean);
    const std::string contents = clean.Dump(kLocalMachine, kIeHelpers, true);
    ASSERT_EQ(registrar::RegIE(clean), 0);
    const std::string after = clean.Dump(kLocalMachine, kIeHelpers);

    int failures = 0;
    for (int op = 0; op < MemoryRegistry::OpCount; ++op) {
        if (op == MemoryRegistry::Close)
            continue;
        for (int nth = 1; nth <= clean.Calls(MemoryRegistry::Op(op)); ++nth) {
            SCOPED_TRACE(testing::Message() << "call " << nth << " of op " << op);
            MemoryRegistry model;
            setUp(model);
            model.FailCall(MemoryRegistry::Op(op), nth);
            const int result = registrar::RegIE(model);
            if (result == 0) {
                EXPECT_EQ(model.Dump(kLocalMachine, kIeHelpers), after);
            } else {
                EXPECT_TRUE(result == -1 || result == 2); // 2: the presence test failed
                failures += result == -1;
                model.FailCall(MemoryRegistry::Op(op), 0); // let the class key go again
                KeyHandle helpers(model);
                model.OpenKey(kLocalMachine, kIeHelpers.c_str(), RegAccess::All, helpers.Out());
                model.DeleteKey(helpers, kClassId.c_str());
                EXPECT_EQ(model.Dump(kLocalMachine, kIeHelpers, true), contents);
            }
            EXPECT_EQ(model.OpenHandles(), 0u);
            EXPECT_EQ(model.LiveBuffers(), 0u);
        }
    }
    EXPECT_EQ(clean.SubKeys(kLocalMachine, kIeHelpers).front(), kClassId);
    EXPECT_GT(failures, 30);
}

TEST_F(RegistrarTest, DeleteKeyTreeRemovesNestedKeysOrNothing) {
    reg.AddKey(kCurrentUser, u"Software\\T\\a\\b\\c");
    reg.AddKey(kCurrentUser, u"Software\\T\\d");
    reg.PutText(kCurrentUser, u"Software\\T\\a\\b", u"v", u"w");
    reg.AddKey(kCurrentUser, u"Software\\Keep");
    KeyHandle software(reg);
    ASSERT_EQ(reg.OpenKey(kCurrentUser, u"Software", RegAccess::All, software.Out()), kRegOk);

    EXPECT_EQ(DeleteKeyTree(reg, software, u"Missing"), kErrFileNotFound);
    reg.FailCall(MemoryRegistry::Alloc, 1);
    EXPECT_EQ(DeleteKeyTree(reg, software, u"T"), kErrNotEnoughMemory);
    reg.FailCall(MemoryRegistry::EnumKeys, 1, 1234);
    EXPECT_EQ(DeleteKeyTree(reg, software, u"T"), 1234);
    EXPECT_EQ(reg.Calls(MemoryRegistry::Delete), 0);

    EXPECT_EQ(DeleteKeyTree(reg, software, u"T"), kRegOk);
    EXPECT_EQ(reg.SubKeys(kCurrentUser, u"Software"), std::vector<std::u16string>{u"Keep"});
    EXPECT_EQ(reg.Calls(MemoryRegistry::Delete), 5);
}

using SelfRegistrationTest = RegistrarTest;

// Read with query access alone: a user who can't write the Configure key has the
// setting honoured all the same. Four bytes are a number whatever their type.
TEST_F(SelfRegistrationTest, ReadsTheSettingWithQueryAccess) {
    struct Case {
        uint32_t type;
        std::string bytes;
        bool integrate;
    } cases[] = {
        {kRegDword, std::string("\1\0\0\0", 4), true},
        {3 /* REG_BINARY */, std::string("\1\0\0\0", 4), true},
        {kRegDword, std::string("\1\0\0\1", 4), false},
        {kRegSz, Bytes(u"1"), false},
    };
    for (const Case& c : cases) {
        MemoryRegistry model;
        model.AddKey(kCurrentUser, kNetscape);
        model.AddKey(kLocalMachine, kExplorer);
        model.AddKey(kCurrentUser, kNetCaptor);
        model.PutValue(kCurrentUser, kConfigure, u"IntegrateBrowser", c.type, c.bytes);
        model.DenyFullAccess(kCurrentUser, kConfigure);
        registrar::RegisterBrowsers(model);
        const int n = model.HasKey(kCurrentUser, kProtocols) +
                      model.HasKey(kLocalMachine, kIeHelpers + u"\\" + kClassId) +
                      model.HasKey(kCurrentUser, kNcHelpers + u"\\" + kClassId);
        EXPECT_EQ(n, c.integrate ? 3 : 0) << c.type << " " << c.bytes.size();
        EXPECT_EQ(model.OpenHandles(), 0u);
    }
}

} // namespace
