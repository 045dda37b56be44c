#include "platform/registry/RegKeyTree.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

QStringList ValueNames(const TRegKeyNode& key)
{
    QStringList names;
    for (const TRegValue& value : key.Values())
        names << value.Name;
    return names;
}

QStringList SubKeyNames(const TRegKeyNode& key)
{
    QStringList names;
    for (size_t i = 0; i < key.SubKeyCount(); ++i)
        names << key.SubKeyAt(i).Name();
    return names;
}

}

// Removals only mark their slot and enumeration order is cached, so each step is checked
// both through the indexes (lookups) and through the order (enumeration).
TEST(RegKeyTree, IndexesFollowEveryChange)
{
    struct TStep {
        const char* name;
        std::function<void(TRegKeyNode&)> change;
        QStringList values;
        QStringList subKeys;
    } steps[] = {
        { "add",
            [](TRegKeyNode& k) {
                k.SetValue("b", 1, "1");
                k.SetValue("A", 1, "2");
            },
            { "b", "A" }, {} },
        { "same name in other case keeps its place and spelling",
            [](TRegKeyNode& k) { EXPECT_TRUE(k.SetValue("B", 1, "3")); }, { "b", "A" }, {} },
        { "remove the first", [](TRegKeyNode& k) { EXPECT_TRUE(k.RemoveValue("B")); }, { "A" },
            {} },
        { "removed name comes back last",
            [](TRegKeyNode& k) {
                k.SetValue("c", 1, "");
                k.SetValue("b", 4, "");
            },
            { "A", "c", "b" }, {} },
        { "remove twice, then look before the order is rebuilt",
            [](TRegKeyNode& k) {
                EXPECT_TRUE(k.RemoveValue("a"));
                EXPECT_FALSE(k.RemoveValue("A"));
                EXPECT_EQ(k.FindValue("a"), nullptr);
                const TRegValue* c = k.FindValue("C");
                ASSERT_NE(c, nullptr);
                EXPECT_EQ(c->Name, "c");
            },
            { "c", "b" }, {} },
        { "subkeys sorted",
            [](TRegKeyNode& k) {
                k.GetSubKey("zeta");
                k.GetSubKey("Alpha");
                k.GetSubKey("beta");
            },
            { "c", "b" }, { "Alpha", "beta", "zeta" } },
        { "subkey removed after enumeration",
            [](TRegKeyNode& k) {
                EXPECT_TRUE(k.RemoveSubKey("BETA"));
                bool created = false;
                k.GetSubKey("ALPHA", &created);
                EXPECT_FALSE(created);
            },
            { "c", "b" }, { "Alpha", "zeta" } },
    };
    TRegKeyNode key;
    QString fault;
    for (const TStep& step : steps) {
        step.change(key);
        EXPECT_TRUE(key.CheckConsistency(&fault)) << step.name << ": " << fault.toStdString();
        EXPECT_EQ(ValueNames(key), step.values) << step.name;
        EXPECT_EQ(SubKeyNames(key), step.subKeys) << step.name;
        EXPECT_TRUE(key.CheckConsistency(&fault)) << step.name << ": " << fault.toStdString();

        TRegKeyNode copy = key;
        EXPECT_TRUE(copy.CheckConsistency(&fault)) << step.name << ": " << fault.toStdString();
        EXPECT_TRUE(copy == key) << step.name;
    }
}
