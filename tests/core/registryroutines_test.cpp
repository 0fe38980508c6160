#include "support/TestEnvironment.h"

#include "core/RegistryRoutines.h"
#include "platform/Registry.h"

#include <QSysInfo>
#include <gtest/gtest.h>

namespace {

const QString kSettingsRoot = QStringLiteral("SOFTWARE\\Tarvena\\Sonvale");
const QString kTestRoot = QStringLiteral("SOFTWARE\\Sonvale Tests");
const QString kTestKey = QStringLiteral("Values");
const QString kTestPath = kTestRoot + QStringLiteral("\\") + kTestKey;

// Literal bytes, embedded NULs included.
template <qsizetype N>
QByteArray bytes(const char (&data)[N])
{
    return QByteArray(data, N - 1);
}

template <qsizetype N>
QString withNuls(const char (&data)[N])
{
    return QString::fromUtf8(data, N - 1);
}

std::string show(const QVariant &value)
{
    if (!value.isValid())
        return "<empty>";
    QString text = value.typeId() == QMetaType::QByteArray ? QString::fromLatin1(value.toByteArray().toHex(' '))
                                                           : value.toString();
    return (QString::fromLatin1(value.typeName()) + QStringLiteral(": ") + text.replace(QChar(u'\0'), QStringLiteral("\\0")))
        .toStdString();
}

// One key under the current user, bound the way windows bind theirs.
class RegistryRoutinesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(Registry::createKey(HKEY_CURRENT_USER, kTestPath), Registry::Success);
        reg.setHkey(HKEY_CURRENT_USER);
        reg.setKeyRoot(kTestRoot);
        reg.setSubkey(kTestKey);
    }

    static void store(const QString &name, qint32 type, const QByteArray &data)
    {
        ASSERT_EQ(Registry::setValue(HKEY_CURRENT_USER, kTestPath, name, type, data), Registry::Success);
    }

    static std::optional<Registry::Value> stored(const QString &name, const QString &path = kTestPath)
    {
        Registry::Value value;
        if (Registry::queryValue(HKEY_CURRENT_USER, path, name, &value) != Registry::Success)
            return std::nullopt;
        return value;
    }

    RegistryRoutines reg;
};

} // namespace

TEST_F(RegistryRoutinesTest, ReadsEveryTypeByItsRules)
{
    qputenv("SONVALE_TEST_FOLDER", "/opt/sound");
    qunsetenv("SONVALE_TEST_UNSET");
    const QVariant dflt(QStringLiteral("dflt"));
    struct Case {
        const char *what;
        qint32 type;
        QByteArray data;
        QVariant expected;
    };
    const Case cases[] = {
        {"text drops its NUL", REG_SZ, bytes("abc\0"), QStringLiteral("abc")},
        {"empty text data is the default", REG_SZ, QByteArray(), dflt},
        {"a lone NUL is an empty text", REG_SZ, bytes("\0"), QString()},
        {"text without its NUL keeps its last letter", REG_SZ, QByteArray("abc"), QStringLiteral("abc")},
        {"text is UTF-8", REG_SZ, QStringLiteral("Grüße ♪").toUtf8() + '\0', QStringLiteral("Grüße ♪")},
        {"expands a set variable", REG_EXPAND_SZ, bytes("%SONVALE_TEST_FOLDER%/x\0"), QStringLiteral("/opt/sound/x")},
        {"keeps an unset variable", REG_EXPAND_SZ, bytes("%SONVALE_TEST_UNSET%/x\0"),
         QStringLiteral("%SONVALE_TEST_UNSET%/x")},
        {"a lone percent sign stays", REG_EXPAND_SZ, bytes("50% at %SONVALE_TEST_FOLDER%\0"),
         QStringLiteral("50% at /opt/sound")},
        {"empty expandable data is the default", REG_EXPAND_SZ, QByteArray(), dflt},
        {"binary keeps every byte", REG_BINARY, bytes("\0\x01\xff\0"), bytes("\0\x01\xff\0")},
        {"DWORD is little-endian", REG_DWORD, bytes("\x01\x02\x03\x04"), qint32(0x04030201)},
        {"DWORD is signed", REG_DWORD, bytes("\xff\xff\xff\xff"), qint32(-1)},
        {"a short DWORD is zero-extended", REG_DWORD, bytes("\x05"), qint32(5)},
        {"multi-string keeps its separators", REG_MULTI_SZ, bytes("a\0bc\0\0"), withNuls("a\0bc")},
        {"multi-string without its closing NUL keeps its last string", REG_MULTI_SZ, bytes("a\0bc\0"),
         withNuls("a\0bc")},
        {"multi-string of empty strings is the default", REG_MULTI_SZ, bytes("\0\0"), dflt},
        {"multi-string of several empty strings is the default", REG_MULTI_SZ, bytes("\0\0\0\0"), dflt},
        {"multi-string whose first string is empty is the default", REG_MULTI_SZ, bytes("\0b\0\0"), dflt},
        {"REG_NONE is the default", REG_NONE, QByteArray("abc"), dflt},
        {"an unknown type is the default", 5, QByteArray("abcd"), dflt},
    };
    for (const Case &c : cases) {
        store(QString::fromLatin1(c.what), c.type, c.data);
        const QVariant read = reg.GetRegistryValue(QString::fromLatin1(c.what), dflt);
        EXPECT_EQ(read.typeId(), c.expected.typeId()) << c.what << " read " << show(read);
        EXPECT_EQ(read, c.expected) << c.what << " read " << show(read);
    }
}

TEST_F(RegistryRoutinesTest, AbsentValueReadsAsTheDefaultOrEmpty)
{
    EXPECT_EQ(reg.GetRegistryValue(QStringLiteral("nothing"), QStringLiteral("x")), QVariant(QStringLiteral("x")));
    EXPECT_EQ(reg.GetRegistryValue(QStringLiteral("nothing"), 7), QVariant(7));
    EXPECT_FALSE(reg.GetRegistryValue(QStringLiteral("nothing")).isValid());
}

TEST_F(RegistryRoutinesTest, WritesEveryTypeAsStoredBytes)
{
    struct Case {
        const char *what;
        QVariant value;
        qint32 type;
        QByteArray data;
    };
    const Case cases[] = {
        {"text gets one NUL", QStringLiteral("abc"), REG_SZ, bytes("abc\0")},
        {"text ending in NUL gets no other", withNuls("abc\0"), REG_SZ, bytes("abc\0")},
        {"empty text is one NUL", QString(), REG_SZ, bytes("\0")},
        {"a number is written as its digits", 1234, REG_SZ, bytes("1234\0")},
        {"text is written as UTF-8", QStringLiteral("é"), REG_SZ, bytes("\xc3\xa9\0")},
        {"expandable text stays unexpanded", QStringLiteral("%HOME%/x"), REG_EXPAND_SZ, bytes("%HOME%/x\0")},
        {"multi-string carries its own NULs", withNuls("a\0b\0\0"), REG_MULTI_SZ, bytes("a\0b\0\0")},
        {"binary writes every byte", QByteArray(bytes("\0\x7f\x80\xff")), REG_BINARY, bytes("\0\x7f\x80\xff")},
        {"DWORD is four little-endian bytes", qint32(0x01020304), REG_DWORD, bytes("\x04\x03\x02\x01")},
        {"negative DWORD", -2, REG_DWORD, bytes("\xfe\xff\xff\xff")},
        {"DWORD from digits", QStringLiteral("258"), REG_DWORD, bytes("\x02\x01\0\0")},
        {"DWORD of true is -1", true, REG_DWORD, bytes("\xff\xff\xff\xff")},
        {"unsigned DWORD above the signed range", quint32(0x80000001u), REG_DWORD, bytes("\x01\0\0\x80")},
    };
    for (const Case &c : cases) {
        const QString name = QString::fromLatin1(c.what);
        EXPECT_TRUE(reg.SetRegistryValue(name, c.value, c.type)) << c.what;
        const auto value = stored(name);
        ASSERT_TRUE(value) << c.what;
        EXPECT_EQ(value->type, c.type) << c.what;
        EXPECT_EQ(value->data, c.data) << c.what << " stored " << value->data.toHex(' ').toStdString();
    }
}

TEST_F(RegistryRoutinesTest, WrittenValuesReadBackAsWritten)
{
    const QString text = QStringLiteral("C:/Music/Ünïcödé ♪ [1]");
    const QByteArray blob = QByteArray::fromHex("00ff10200a0d");
    ASSERT_TRUE(reg.SetRegistryValue(QStringLiteral("txt"), text, REG_SZ));
    ASSERT_TRUE(reg.SetRegistryValue(QStringLiteral("bin"), blob, REG_BINARY));
    ASSERT_TRUE(reg.SetRegistryValue(QStringLiteral("num"), -123456, REG_DWORD));
    ASSERT_TRUE(reg.SetRegistryValue(QStringLiteral("multi"), withNuls("one\0two\0\0"), REG_MULTI_SZ));
    EXPECT_EQ(reg.GetRegistryValue(QStringLiteral("txt")), QVariant(text));
    EXPECT_EQ(reg.GetRegistryValue(QStringLiteral("bin")), QVariant(blob));
    EXPECT_EQ(reg.GetRegistryValue(QStringLiteral("num")), QVariant(qint32(-123456)));
    EXPECT_EQ(reg.GetRegistryValue(QStringLiteral("multi")), QVariant(withNuls("one\0two")));
}

TEST_F(RegistryRoutinesTest, RefusedWritesLeaveTheOldValue)
{
    store(QStringLiteral("kept"), REG_SZ, bytes("old\0"));
    struct Case {
        const char *what;
        QVariant value;
        qint32 type;
        bool answer;
    };
    const Case cases[] = {
        {"DType 5 writes nothing and answers true", QStringLiteral("new"), 5, true},
        {"REG_NONE writes nothing and answers true", QStringLiteral("new"), REG_NONE, true},
        {"binary from a text is refused", QStringLiteral("new"), REG_BINARY, false},
        {"DWORD from a word is refused", QStringLiteral("new"), REG_DWORD, false},
        {"DWORD beyond 32 bits is refused", qint64(1) << 40, REG_DWORD, false},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(reg.SetRegistryValue(QStringLiteral("kept"), c.value, c.type), c.answer) << c.what;
        const auto value = stored(QStringLiteral("kept"));
        ASSERT_TRUE(value) << c.what;
        EXPECT_EQ(value->type, REG_SZ) << c.what;
        EXPECT_EQ(value->data, bytes("old\0")) << c.what;
    }
    EXPECT_TRUE(reg.SetRegistryValue(QStringLiteral("fresh"), QStringLiteral("x"), 5));
    EXPECT_FALSE(stored(QStringLiteral("fresh")));
}

TEST_F(RegistryRoutinesTest, MissingSubkeyOfTheSettingsRootStoresNothing)
{
    RegistryRoutines settings;
    settings.setHkey(HKEY_LOCAL_MACHINE);
    settings.setKeyRoot(kSettingsRoot);
    settings.setSubkey(QStringLiteral("Formats\\FLAC"));
    EXPECT_FALSE(settings.KeyExists());
    EXPECT_FALSE(settings.SetRegistryValue(QStringLiteral("txtLevel"), QStringLiteral("5"), REG_SZ));
    EXPECT_FALSE(settings.SetRegistryValue(QStringLiteral("txtLevel"), QStringLiteral("5"), 5));
    EXPECT_EQ(settings.GetRegistryValue(QStringLiteral("txtLevel"), QStringLiteral("d")), QVariant(QStringLiteral("d")));
    EXPECT_EQ(settings.DeleteValue(QStringLiteral("txtLevel")), Registry::FileNotFound);
    EXPECT_FALSE(Registry::keyExists(HKEY_LOCAL_MACHINE, kSettingsRoot + QStringLiteral("\\Formats\\FLAC")));

    settings.setSubkey(QStringLiteral("Formats\\MP3"));
    EXPECT_TRUE(settings.KeyExists());
    EXPECT_TRUE(settings.SetRegistryValue(QStringLiteral("txtLevel"), QStringLiteral("5"), REG_SZ));
    EXPECT_EQ(settings.GetRegistryValue(QStringLiteral("txtLevel")), QVariant(QStringLiteral("5")));
}

TEST_F(RegistryRoutinesTest, EmptySubkeyNamesTheKeyRootItself)
{
    reg.setSubkey(QString());
    EXPECT_TRUE(reg.KeyExists());
    ASSERT_TRUE(reg.SetRegistryValue(QStringLiteral("atRoot"), QStringLiteral("r"), REG_SZ));
    EXPECT_TRUE(stored(QStringLiteral("atRoot"), kTestRoot));
    EXPECT_FALSE(stored(QStringLiteral("atRoot")));
    EXPECT_EQ(reg.GetRegistryValue(QStringLiteral("atRoot")), QVariant(QStringLiteral("r")));
    EXPECT_EQ(reg.DeleteValue(QStringLiteral("atRoot")), Registry::Success);
    EXPECT_FALSE(stored(QStringLiteral("atRoot"), kTestRoot));

    RegistryRoutines unbound;
    EXPECT_FALSE(unbound.KeyExists());
    EXPECT_FALSE(unbound.SetRegistryValue(QStringLiteral("x"), QStringLiteral("y"), REG_SZ));
    EXPECT_EQ(unbound.CreateKey(QStringLiteral("x")), QString());
}

TEST_F(RegistryRoutinesTest, NamesMatchWithoutCaseAndKeepTheirFirstCase)
{
    ASSERT_TRUE(reg.SetRegistryValue(QStringLiteral("chkClearOnExit"), QStringLiteral("1"), REG_SZ));
    EXPECT_EQ(reg.GetRegistryValue(QStringLiteral("CHKCLEARONEXIT")), QVariant(QStringLiteral("1")));
    ASSERT_TRUE(reg.SetRegistryValue(QStringLiteral("chkclearonexit"), QStringLiteral("0"), REG_SZ));
    const auto values = reg.EnumRegistryValues(HKEY_CURRENT_USER, kTestPath);
    ASSERT_EQ(values.size(), 1);
    EXPECT_EQ(values[0].first, QStringLiteral("chkClearOnExit"));
    EXPECT_EQ(values[0].second, QVariant(QStringLiteral("0")));

    RegistryRoutines upper;
    upper.setHkey(HKEY_CURRENT_USER);
    upper.setKeyRoot(kTestRoot.toUpper());
    upper.setSubkey(kTestKey.toLower());
    EXPECT_TRUE(upper.KeyExists());
    EXPECT_EQ(upper.GetRegistryValue(QStringLiteral("ChkClearOnExit")), QVariant(QStringLiteral("0")));
    EXPECT_EQ(upper.CreateKey(QStringLiteral("VALUES\\Child")), QStringLiteral("0"));
    EXPECT_EQ(reg.EnumRegistryKeys(HKEY_CURRENT_USER, kTestRoot), QStringList{kTestKey});
    EXPECT_EQ(reg.EnumRegistryKeys(HKEY_CURRENT_USER, kTestPath), QStringList{QStringLiteral("Child")});
}

TEST_F(RegistryRoutinesTest, ValuesLongerThanTheFirstBufferReadWhole)
{
    QString text;
    for (int i = 0; i < 700; ++i)
        text += QStringLiteral("é%1").arg(i % 10);
    QByteArray blob(70000, '\0');
    for (int i = 0; i < blob.size(); ++i)
        blob[i] = static_cast<char>(i * 7);
    QString multi;
    for (int i = 0; i < 300; ++i)
        multi += QStringLiteral("entry%1").arg(i) + QChar(u'\0');
    multi += QChar(u'\0');
    ASSERT_TRUE(reg.SetRegistryValue(QStringLiteral("text"), text, REG_SZ));
    ASSERT_TRUE(reg.SetRegistryValue(QStringLiteral("blob"), blob, REG_BINARY));
    ASSERT_TRUE(reg.SetRegistryValue(QStringLiteral("multi"), multi, REG_MULTI_SZ));
    ASSERT_GT(text.toUtf8().size(), 1024);
    EXPECT_EQ(reg.GetRegistryValue(QStringLiteral("text")).toString(), text);
    EXPECT_EQ(reg.GetRegistryValue(QStringLiteral("blob")).toByteArray(), blob);
    EXPECT_EQ(reg.GetRegistryValue(QStringLiteral("multi")).toString(), multi.chopped(2));
}

TEST_F(RegistryRoutinesTest, DeleteValueAnswersThePlatformCode)
{
    store(QStringLiteral("gone"), REG_SZ, bytes("x\0"));
    EXPECT_EQ(reg.DeleteValue(QStringLiteral("GONE")), Registry::Success);
    EXPECT_FALSE(stored(QStringLiteral("gone")));
    EXPECT_EQ(reg.DeleteValue(QStringLiteral("gone")), Registry::FileNotFound);
    reg.setSubkey(QStringLiteral("Missing"));
    EXPECT_EQ(reg.DeleteValue(QStringLiteral("gone")), Registry::FileNotFound);
}

TEST_F(RegistryRoutinesTest, CreatesAndDeletesKeys)
{
    reg.setSubkey(QStringLiteral("Made"));
    EXPECT_FALSE(reg.KeyExists());
    EXPECT_EQ(reg.CreateKey(), QStringLiteral("0")); // the object's own Subkey
    EXPECT_TRUE(reg.KeyExists());
    EXPECT_EQ(reg.CreateKey(), QStringLiteral("0")); // opening an existing key succeeds too
    EXPECT_EQ(reg.CreateKey(QStringLiteral("Deep\\Er\\Est")), QStringLiteral("0"));
    EXPECT_TRUE(Registry::keyExists(HKEY_CURRENT_USER, kTestRoot + QStringLiteral("\\Deep\\Er\\Est")));
    EXPECT_EQ(reg.CreateKey(QStringLiteral("..")), QString());

    EXPECT_NE(reg.DeleteKey(QStringLiteral("Deep\\Er")), Registry::Success);
    EXPECT_TRUE(Registry::keyExists(HKEY_CURRENT_USER, kTestRoot + QStringLiteral("\\Deep\\Er\\Est")));
    ASSERT_TRUE(reg.SetRegistryValue(QStringLiteral("v"), QStringLiteral("x"), REG_SZ));
    EXPECT_EQ(reg.DeleteKey(QStringLiteral("made")), Registry::Success);
    EXPECT_FALSE(reg.KeyExists());
    EXPECT_EQ(reg.CreateKey(), QStringLiteral("0"));
    EXPECT_FALSE(reg.GetRegistryValue(QStringLiteral("v")).isValid()) << "a deleted key's values are gone with it";
    EXPECT_EQ(reg.DeleteKey(QStringLiteral("Never")), Registry::FileNotFound);
}

TEST_F(RegistryRoutinesTest, EnumeratesSubkeys)
{
    for (const char *name : {"beta", "Alpha", "gamma"})
        ASSERT_EQ(reg.CreateKey(kTestKey + QStringLiteral("\\") + QLatin1String(name)), QStringLiteral("0"));
    EXPECT_EQ(reg.EnumRegistryKeys(HKEY_CURRENT_USER, kTestPath),
              (QStringList{QStringLiteral("Alpha"), QStringLiteral("beta"), QStringLiteral("gamma")}));
    EXPECT_TRUE(reg.EnumRegistryKeys(HKEY_CURRENT_USER, QString()).contains(QStringLiteral("SOFTWARE")));
    EXPECT_TRUE(reg.EnumRegistryKeys(HKEY_LOCAL_MACHINE, kSettingsRoot).contains(QStringLiteral("General")));
    EXPECT_TRUE(reg.EnumRegistryKeys(HKEY_CURRENT_USER, QStringLiteral("SOFTWARE\\Nowhere")).isEmpty());
    EXPECT_TRUE(reg.EnumRegistryKeys(0, QString()).isEmpty());
}

TEST_F(RegistryRoutinesTest, EnumeratesValuesWithTheirDataAsText)
{
    qputenv("SONVALE_TEST_FOLDER", "/opt/sound");
    store(QStringLiteral("a text"), REG_SZ, bytes("abc\0"));
    store(QStringLiteral("b empty text"), REG_SZ, QByteArray());
    store(QStringLiteral("c expand"), REG_EXPAND_SZ, bytes("%SONVALE_TEST_FOLDER%/x\0"));
    store(QStringLiteral("d binary"), REG_BINARY, bytes("\0\x09\x0a\x0f\x10\xff"));
    store(QStringLiteral("e empty binary"), REG_BINARY, QByteArray());
    store(QStringLiteral("f dword"), REG_DWORD, bytes("\x2a\0\0\0"));
    store(QStringLiteral("g multi"), REG_MULTI_SZ, bytes("one\0two\0\0"));
    const QList<QPair<QString, QVariant>> expected = {
        {QStringLiteral("a text"), QStringLiteral("abc")},
        {QStringLiteral("b empty text"), QString()},
        {QStringLiteral("c expand"), QStringLiteral("/opt/sound/x")},
        // Every byte has two digits, so the text reads back unambiguously.
        {QStringLiteral("d binary"), QStringLiteral("00 09 0A 0F 10 FF")},
        {QStringLiteral("e empty binary"), QString()},
        {QStringLiteral("f dword"), qint32(42)},
        {QStringLiteral("g multi"), QStringLiteral("one,two")},
    };
    const auto values = reg.EnumRegistryValues(HKEY_CURRENT_USER, kTestPath);
    ASSERT_EQ(values.size(), expected.size());
    for (qsizetype i = 0; i < values.size(); ++i) {
        EXPECT_EQ(values[i].first, expected[i].first);
        EXPECT_EQ(values[i].second, expected[i].second) << values[i].first.toStdString() << " " << show(values[i].second);
    }
    EXPECT_TRUE(reg.EnumRegistryValues(HKEY_CURRENT_USER, QStringLiteral("SOFTWARE\\Nowhere")).isEmpty());
}

TEST_F(RegistryRoutinesTest, OnlyThisComputerCanBeReached)
{
    store(QStringLiteral("v"), REG_SZ, bytes("here\0"));
    const QString host = QSysInfo::machineHostName();
    for (const QString &name : {QString(), QStringLiteral("."), QStringLiteral("localhost"), QStringLiteral("LocalHost"),
                                QStringLiteral("\\\\localhost"), host, host.toUpper()}) {
        EXPECT_EQ(reg.ReadRemoteRegistryValue(name, HKEY_CURRENT_USER, QStringLiteral("v"), kTestPath),
                  QVariant(QStringLiteral("here")))
            << name.toStdString();
        EXPECT_TRUE(reg.WriteRemoteRegistryValue(name, HKEY_CURRENT_USER, QStringLiteral("w"), 3, REG_DWORD, kTestPath))
            << name.toStdString();
    }
    EXPECT_EQ(reg.GetRegistryValue(QStringLiteral("w")), QVariant(qint32(3)));
    EXPECT_FALSE(reg.ReadRemoteRegistryValue(QString(), HKEY_CURRENT_USER, QStringLiteral("absent"), kTestPath).isValid());
    EXPECT_FALSE(reg.WriteRemoteRegistryValue(QString(), HKEY_CURRENT_USER, QStringLiteral("w"), 1, REG_DWORD,
                                              QStringLiteral("SOFTWARE\\Nowhere")));

    const QString other = QStringLiteral("studio-pc.invalid");
    EXPECT_EQ(reg.ReadRemoteRegistryValue(other, HKEY_CURRENT_USER, QStringLiteral("v"), kTestPath),
              QVariant(QStringLiteral("Error!")));
    EXPECT_EQ(reg.ReadRemoteRegistryValue(QString(), 0, QStringLiteral("v"), kTestPath), QVariant(QStringLiteral("Error!")));
    EXPECT_FALSE(reg.WriteRemoteRegistryValue(other, HKEY_CURRENT_USER, QStringLiteral("v"), QStringLiteral("x"), REG_SZ,
                                              kTestPath));
    EXPECT_EQ(reg.GetRegistryValue(QStringLiteral("v")), QVariant(QStringLiteral("here")));
}

TEST(RegistryRoutines, TrimNullCutsBeforeTheFirstNul)
{
    struct Case {
        QString item;
        QString expected;
    };
    const Case cases[] = {
        {QStringLiteral("abc"), QStringLiteral("abc")},
        {withNuls("ab\0cd\0"), QStringLiteral("ab")},
        {withNuls("\0x"), QString()},
        {QString(), QString()},
    };
    for (const Case &c : cases) {
        QString item = c.item;
        EXPECT_EQ(RegistryRoutines::TrimNull(item), c.expected);
        EXPECT_EQ(item, c.expected) << "cut in place too";
    }
}
