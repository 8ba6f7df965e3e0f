// Randomised trees under the maker's key: the walk must report exactly what an independent model of
// its rules expects, in pre-order, with the log, the de-duplicated and capped list, and no crash.
// LV_RANDOM_SEED=n repeats a run; LV_RANDOM_TREES=n sets how many trees it walks.
#include <gtest/gtest.h>

#include <ctype.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "core/state.h"
#include "discovery/candidates.h"
#include "discovery/registry.h"
#include "discovery/walk.h"
#include "tests/discovery/discovery_testing.h"
#include "tests/support/testing.h"

namespace {

// ---- The generated tree ----

struct GenValue {
    std::string name;
    DWORD type;
    std::string bytes; // exactly as stored
};

struct GenKey {
    std::string name;
    std::vector<GenValue> values;
    std::vector<GenKey> children;
};

const char *const PoolRoot = "C:\\lvrand";

// Existing folders the data may point at; some hold "kest", one holds a file.
const char *const PoolFolders[] = {
    "Plug-ins", "Ed A\\Plug-Ins", "Ed A\\Plug-Ins\\Kestovan", "kestrel", "Mykest\\Kestovan",
    "Photoshop CS5 (64 Bit)\\Plug-ins", "x_y.z-w", "Deep\\er\\Plugins", "F01", "F02", "F03", "F04", "F05", "F06",
    "F07", "F08", "F09", "F10", "F11", "F12", "F13", "F14", "F15", "F16", "F17", "F18", "F19", "F20", "F21", "F22",
};

class Generator {
public:
    explicit Generator(unsigned seed) : rng(seed) {}

    int Uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }
    bool Chance(int percent) { return Uniform(1, 100) <= percent; }

    std::string RandomCase(std::string s)
    {
        int mode = Uniform(0, 3);
        for (char &c : s) {
            if (mode == 1)
                c = (char)tolower((unsigned char)c);
            else if (mode == 2)
                c = (char)toupper((unsigned char)c);
            else if (mode == 3 && Chance(50))
                c = (char)(isupper((unsigned char)c) ? tolower((unsigned char)c) : toupper((unsigned char)c));
        }
        return s;
    }

    // Name characters: no backslash (not allowed in key names) and no colon.
    std::string Filler(int length)
    {
        static const char chars[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 -_.()";
        std::string s;
        for (int i = 0; i < length; i++)
            s += chars[Uniform(0, (int)sizeof chars - 2)];
        return s;
    }

    std::string Name(int maxLength)
    {
        static const char *const marks[] = {"plug", "Plug-ins", "PLUGIN", "directory1", "Directory2", "DIRECTORY3",
                                            "DiReCtOrY2", "directory", "Photoshop", "paint", "pLuG"};
        int kind = Uniform(1, 100);
        int length = kind <= 80 ? Uniform(1, 14) : kind <= 92 ? Uniform(15, 80) : Uniform(100, maxLength);
        std::string s = Filler(length);
        if (Chance(rich ? 80 : 35)) {
            std::string mark = marks[Uniform(0, (int)(sizeof marks / sizeof marks[0]) - 1)];
            s.insert((size_t)Uniform(0, (int)s.size()), mark);
        }
        if ((int)s.size() > maxLength)
            s.resize((size_t)maxLength);
        return s;
    }

    std::string ExistingFolder() { return std::string(PoolRoot) + "\\" + PoolFolders[Uniform(0, 29)]; }

    std::string DrivePath()
    {
        int kind = Uniform(1, 100);
        std::string path;
        if (kind <= 60)
            path = RandomCase(ExistingFolder());
        else if (kind <= 75)
            path = RandomCase(std::string(PoolRoot) + "\\Missing\\" + Filler(Uniform(1, 8)));
        else if (kind <= 85)
            path = std::string(1, (char)('D' + Uniform(0, 20))) + ":\\" + Filler(Uniform(0, 10));
        else
            path = RandomCase(std::string(PoolRoot) + "\\Plug-ins\\filter.8bf");
        static const char *const suffixes[] = {"", "", "", "\\", "\\filter.8bf", "\"", "\" \"%1\"", "xyz", "\\x\\y"};
        return path + suffixes[Uniform(0, 8)];
    }

    std::string Text()
    {
        static const char *const prefixes[] = {"", "", "", " ", "  \"", "\"", "12 ", "-=", "\t"};
        std::string s;
        int kind = rich ? Uniform(1, 70) : Uniform(1, 100);
        if (kind <= 70)
            s = DrivePath();
        else if (kind <= 88)
            s = Filler(Uniform(0, 30)); // no colon: never a drive path
        else {
            // Around the 256 bytes of the data buffer.
            static const int lengths[] = {250, 254, 255, 256, 257, 260, 300};
            int total = lengths[Uniform(0, 6)];
            s = ExistingFolder() + "\\";
            while ((int)s.size() < total)
                s += 'p';
            s.resize((size_t)total);
        }
        return prefixes[Uniform(0, 8)] + s;
    }

    GenValue Value(std::set<std::string> &used)
    {
        GenValue v;
        for (;;) {
            v.name = Chance(5) ? "" : Chance(1) ? Filler(Uniform(256, 270)) : Name(255);
            std::string lower = v.name;
            for (char &c : lower)
                c = (char)tolower((unsigned char)c);
            if (used.insert(lower).second)
                break;
        }
        int kind = rich ? Uniform(1, 60) : Uniform(1, 100);
        if (kind <= 60) {
            v.type = REG_SZ;
        } else if (kind <= 75) {
            v.type = REG_EXPAND_SZ;
        } else if (kind <= 90) {
            v.type = REG_DWORD;
            DWORD d = (DWORD)Uniform(0, 1 << 30);
            v.bytes.assign((const char *)&d, sizeof d);
            return v;
        } else {
            v.type = REG_BINARY;
            v.bytes = Filler(Uniform(0, 270));
            return v;
        }
        v.bytes = Text();
        if (Chance(85))
            v.bytes += '\0';
        return v;
    }

    void Fill(GenKey &key, int depth, int maxDepth, int &budget)
    {
        std::set<std::string> used;
        int values = rich ? Uniform(2, 6) : Uniform(0, 4);
        for (int i = 0; i < values; i++)
            key.values.push_back(Value(used));
        // Around the depth limit, a folder that qualifies shows whether the key was read.
        if (depth >= 17 && depth < chainDepth + 1 && Chance(70) && used.insert("deep plug").second)
            key.values.push_back({"Deep Plug", REG_SZ, ExistingFolder() + '\0'});
        if (depth >= maxDepth)
            return;
        std::set<std::string> names;
        // A chain makes the tree deep; otherwise a few branches while the budget lasts.
        int children = depth < chainDepth ? 1 + (Chance(20) ? 1 : 0) : Uniform(0, 3);
        for (int i = 0; i < children && budget > 0; i++) {
            GenKey child;
            child.name = depth < chainDepth && Chance(80) ? Filler(Uniform(1, 6)) : Name(255);
            std::string lower = child.name;
            for (char &c : lower)
                c = (char)tolower((unsigned char)c);
            if (!names.insert(lower).second)
                continue;
            budget--;
            Fill(child, depth + 1, maxDepth, budget);
            key.children.push_back(child);
        }
    }

    GenKey Tree()
    {
        GenKey root;
        root.name = "Kestovan";
        int budget = rich ? Uniform(20, 40) : Uniform(5, 45);
        chainDepth = Chance(30) ? Uniform(15, 25) : 0;
        Fill(root, 0, 25, budget);
        return root;
    }

    std::mt19937 rng;
    int chainDepth = 0;
    bool rich = false; // many marked names and string drive paths: enough folders to fill the list
};

// ---- Seeding, through handles relative to each parent ----

bool SeedTree(HKEY parent, const GenKey &key, REGSAM view)
{
    HKEY handle;
    if (RegCreateKeyExA(parent, key.name.c_str(), 0, NULL, 0, KEY_ALL_ACCESS | view, NULL, &handle, NULL) != 0)
        return false;
    bool ok = true;
    for (const GenValue &v : key.values) {
        std::string buffer = v.bytes + '\x01'; // keeps RegSetValueExA from counting a terminator of its own
        ok = ok && RegSetValueExA(handle, v.name.c_str(), 0, v.type, (const BYTE *)buffer.data(),
                                  (DWORD)v.bytes.size()) == 0;
    }
    for (const GenKey &child : key.children)
        ok = ok && SeedTree(handle, child, view);
    RegCloseKey(handle);
    return ok;
}

// Puts values and sub-keys into the order the registry enumerates them.
bool TakeRegistryOrder(HKEY parent, GenKey &key, REGSAM view)
{
    HKEY handle;
    if (RegOpenKeyExA(parent, key.name.c_str(), 0, KEY_READ | view, &handle) != 0)
        return false;
    std::vector<char> name(32768);
    std::vector<GenValue> values;
    for (DWORD i = 0;; i++) {
        DWORD cch = (DWORD)name.size();
        if (RegEnumValueA(handle, i, name.data(), &cch, NULL, NULL, NULL, NULL) != 0)
            break;
        for (const GenValue &v : key.values)
            if (v.name == name.data())
                values.push_back(v);
    }
    std::vector<GenKey> children;
    for (DWORD i = 0;; i++) {
        DWORD cch = (DWORD)name.size();
        if (RegEnumKeyExA(handle, i, name.data(), &cch, NULL, NULL, NULL, NULL) != 0)
            break;
        for (const GenKey &c : key.children)
            if (c.name == name.data())
                children.push_back(c);
    }
    bool ok = values.size() == key.values.size() && children.size() == key.children.size();
    for (GenKey &c : children)
        ok = ok && TakeRegistryOrder(handle, c, view);
    RegCloseKey(handle);
    key.values = values;
    key.children = children;
    return ok;
}

// ---- The model: the walk's rules, written from their description ----

std::string Lower(std::string s)
{
    for (char &c : s)
        if (c >= 'A' && c <= 'Z')
            c = (char)(c - 'A' + 'a');
    return s;
}

bool Contains(const std::string &s, const std::string &part)
{
    return s.find(part) != std::string::npos;
}

bool Letter(char c)
{
    return IsCharAlphaA(c) != 0;
}

bool FolderThere(const std::string &path)
{
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

// What the trees exercised, over the whole run.
struct Coverage {
    int reports = 0;      // qualifying values passed on
    int fullLists = 0;    // trees that filled all 20 records
    int oversized = 0;    // value scans ended by a value too large for the buffers
    int tooDeep = 0;      // keys with sub-keys 19 levels down
    int tooLong = 0;      // sub-keys passed over for their key path's length
    int unopenable = 0;   // keys the system would not open by their path
    int expandStrings = 0; // REG_EXPAND_SZ drive paths that must not qualify
};

struct Model {
    bool logExists;
    int view;
    Coverage &coverage;
    std::string log;
    std::vector<std::string> listed;

    // The trim: one trailing backslash off, then shorter prefixes within the last component.
    static bool Trim(std::string &path)
    {
        if (!path.empty() && path.back() == '\\')
            path.pop_back();
        for (int i = (int)path.size() - 1; i > 2; i--) {
            if (FolderThere(path))
                return true;
            if (path[(size_t)i] == '\\')
                return false;
            path.resize((size_t)i);
        }
        return false;
    }

    static std::string Normalized(std::string path)
    {
        path = Lower(path);
        size_t kest = path.find("kest");
        if (kest != std::string::npos && kest > 0 && path[kest - 1] == '\\')
            path.resize(kest);
        if (path.empty() || path.back() != '\\')
            path += '\\';
        if (!path.empty())
            path[0] = (char)toupper((unsigned char)path[0]); // ASCII data only
        for (size_t i = 0; i + 1 < path.size(); i++)
            if (!Letter(path[i]) && path[i + 1] >= 'a' && path[i + 1] <= 'z')
                path[i + 1] = (char)(path[i + 1] - 'a' + 'A');
        return path;
    }

    void Candidate(std::string path, const std::string &tag)
    {
        if (!Trim(path))
            return;
        if (logExists) {
            if (listed.empty())
                log += LogHeader();
            log += std::string(view ? "x64 " : "x32 ") + tag + "  " + path + "\r\n";
        }
        std::string normal = Normalized(path);
        if (std::find(listed.begin(), listed.end(), normal) == listed.end() && listed.size() < 20)
            listed.push_back(normal);
    }

    // A value the 256-byte buffers cannot take ends its key's values.
    static bool Oversized(const GenValue &v)
    {
        if (v.name.size() >= 256 || v.bytes.size() > 256)
            return true;
        return v.type == REG_SZ && v.bytes.size() == 256 && v.bytes.find('\0') == std::string::npos;
    }

    void Value(const GenValue &v, const char *hiveLabel, const std::string &keyPath, const std::string &filter)
    {
        if (v.type == REG_EXPAND_SZ && v.bytes.size() > 1 && v.bytes[1] == ':')
            coverage.expandStrings++;
        if (v.type != REG_SZ)
            return;
        std::string text = v.bytes.substr(0, v.bytes.find('\0'));
        if (text.empty())
            return;
        if (!Letter(text[0])) {
            if (text.size() > 390)
                text.resize(390);
            size_t first = 0;
            while (first < text.size() && !Letter(text[first]))
                first++;
            text = text.substr(first);
        }
        if (text.size() < 2 || text[1] != ':')
            return;
        std::string lowerKey = Lower(keyPath);
        if (!Contains(lowerKey, filter))
            return;
        std::string shownName;
        if (Contains(lowerKey, "plug")) {
            shownName = v.name;
        } else {
            shownName = Lower(v.name);
            if (!Contains(shownName, "plug") && !Contains(shownName, "directory1") &&
                !Contains(shownName, "directory2") && !Contains(shownName, "directory3"))
                return;
        }
        std::string tag = std::string(hiveLabel) + "  " + lowerKey + "  " + shownName + "  ";
        if (tag.size() > 399)
            tag.resize(399);
        coverage.reports++;
        Candidate(text, tag);
    }

    void Key(HKEY hive, const char *hiveLabel, const GenKey &key, const std::string &keyPath, int depth,
             const std::string &filter)
    {
        // The walk opens every key by its whole path; what the system cannot open it cannot read.
        HKEY handle;
        if (RegOpenKeyExA(hive, keyPath.c_str(), 0, KEY_READ | (view ? KEY_WOW64_64KEY : 0), &handle) != 0) {
            coverage.unopenable++;
            return;
        }
        RegCloseKey(handle);
        for (const GenValue &v : key.values) {
            if (Oversized(v)) {
                coverage.oversized++;
                break;
            }
            Value(v, hiveLabel, keyPath, filter);
        }
        if (depth >= 19) {
            coverage.tooDeep += !key.children.empty();
            return; // 19 levels below the start key at the most
        }
        for (const GenKey &child : key.children) {
            std::string childPath = keyPath + "\\" + child.name;
            if (childPath.size() > 399) {
                coverage.tooLong++;
                continue;
            }
            Key(hive, hiveLabel, child, childPath, depth + 1, filter);
        }
    }
};

unsigned BaseSeed()
{
    const char *env = getenv("LV_RANDOM_SEED");
    if (env && *env)
        return (unsigned)strtoul(env, NULL, 10);
    return (unsigned)GetTickCount() ^ (unsigned)GetCurrentProcessId() * 2654435761u;
}

int TreeCount()
{
    const char *env = getenv("LV_RANDOM_TREES");
    return env && *env ? atoi(env) : 500;
}

class RandomWalk : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        RemoveTree(PoolRoot);
        for (const char *f : PoolFolders)
            MakeFolders(std::string(PoolRoot) + "\\" + f);
        WriteFileBytes(std::string(PoolRoot) + "\\Plug-ins\\filter.8bf", "8bf");
    }
    static void TearDownTestSuite()
    {
        SetCurrentDirectoryA("C:\\");
        RemoveTree(PoolRoot);
    }
    void SetUp() override
    {
        RemoveMakersKeys();
        RemoveDiagnosticLog();
    }
    void TearDown() override
    {
        RemoveMakersKeys();
        RemoveDiagnosticLog();
        ClearCandidates();
        RegistryView = 0;
        SetCurrentDirectoryA("C:\\");
    }
    static void RemoveMakersKeys()
    {
        for (REGSAM view : RegistryViews()) {
            DeleteRegTree(HKEY_CURRENT_USER, "Software\\Kestovan", view);
            DeleteRegTree(HKEY_LOCAL_MACHINE, "Software\\Kestovan", view);
        }
    }
};

TEST_F(RandomWalk, ReportsWhatTheRulesRead)
{
    unsigned base = BaseSeed();
    int trees = TreeCount();
    printf("random walk: LV_RANDOM_SEED=%u, %d trees\n", base, trees);
    static const char *const filters[] = {"", "", "photoshop", "paint", "plug"};
    Coverage coverage;
    for (int t = 0; t < trees && !HasFailure(); t++) {
        unsigned seed = base + (unsigned)t;
        SCOPED_TRACE("tree seed " + std::to_string(seed) + " (rerun: LV_RANDOM_SEED=" + std::to_string(seed) +
                     " LV_RANDOM_TREES=1)");
        Generator gen(seed);
        gen.rich = gen.Chance(15);
        int view = gen.Uniform(0, 1);
        REGSAM seedView = view ? KEY_WOW64_64KEY : 0;
        std::string filter = filters[gen.Uniform(0, 4)];
        bool logExists = gen.Chance(80);
        GenKey user = gen.Tree(), machine = gen.Tree();
        bool hasUser = gen.Chance(85), hasMachine = gen.Chance(85);
        HKEY software;
        ASSERT_EQ(0, RegCreateKeyExA(HKEY_CURRENT_USER, "Software", 0, NULL, 0, KEY_ALL_ACCESS | seedView, NULL,
                                     &software, NULL));
        if (hasUser) {
            ASSERT_TRUE(SeedTree(software, user, seedView));
            ASSERT_TRUE(TakeRegistryOrder(software, user, seedView));
        }
        RegCloseKey(software);
        ASSERT_EQ(0, RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software", 0, NULL, 0, KEY_ALL_ACCESS | seedView, NULL,
                                     &software, NULL));
        if (hasMachine) {
            ASSERT_TRUE(SeedTree(software, machine, seedView));
            ASSERT_TRUE(TakeRegistryOrder(software, machine, seedView));
        }
        RegCloseKey(software);
        if (InWin64Prefix()) // the other view of the machine hive holds a folder this walk must not see
            SeedString(HKEY_LOCAL_MACHINE, "Software\\Kestovan\\Other View Plug-ins", "Path",
                       std::string(PoolRoot) + "\\F22", view ? 0 : KEY_WOW64_64KEY);

        Model model{logExists, view, coverage, "", {}};
        if (hasUser)
            model.Key(HKEY_CURRENT_USER, "HKEY_CURRENT_USER ", user, "software\\kestovan", 0, filter);
        if (hasMachine)
            model.Key(HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE", machine, "software\\kestovan", 0, filter);

        ClearCandidates();
        if (logExists)
            StartDiagnosticLog();
        RegistryView = view;
        ValueCursor = 0;
        WalkVendorKey("software", "kestovan", filter.c_str());

        EXPECT_EQ(0, ValueCursor);
        EXPECT_EQ(view, RegistryView);
        if (logExists) {
            EXPECT_EQ(model.log, DiagnosticLogText());
        } else {
            EXPECT_FALSE(FileExists(DIAGNOSTIC_LOG_PATH));
        }
        EXPECT_EQ(model.listed, CandidatePaths());
        for (const CandidateFolder &record : CandidateList) {
            if (record.path[0]) {
                EXPECT_EQ(view, record.foundIn64BitView);
            }
        }
        coverage.fullLists += model.listed.size() == 20;

        RemoveMakersKeys();
        RemoveDiagnosticLog();
    }
    printf("random walk: %d reports, %d full lists, %d scans ended by oversized values, %d keys at the depth "
           "limit, %d sub-keys passed over for length, %d keys not openable by path, %d expand strings\n",
           coverage.reports, coverage.fullLists, coverage.oversized, coverage.tooDeep, coverage.tooLong,
           coverage.unopenable, coverage.expandStrings);
}

} // namespace
