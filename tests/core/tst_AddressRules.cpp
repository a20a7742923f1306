#include "core/AddressRules.h"

#include <QTest>

// What Skyvane opens, and the address as it is kept.
class TestAddressRules : public QObject
{
    Q_OBJECT
private slots:
    void schemes()
    {
        for (const auto& [address, opens] : std::initializer_list<std::pair<const char*, bool>>{
                 {"http://radar.example/loop", true},
                 {"HTTPS://radar.example/", true},
                 {"file:///home/me/radar.html", true},
                 {"about:blank", true},
                 {"javascript:alert(1)", false},
                 {"data:text/html,<script>alert(1)</script>", false},
                 {"ftp://radar.example/", false},
                 {"mailto:someone@example.org", false},
                 {"http:///nohost", false},
                 {"view-source:http://radar.example/", false},
             }) {
            QVERIFY2(AddressRules::opens(QUrl(QString::fromUtf8(address))) == opens, address);
        }
        QCOMPARE(AddressRules::refusal(QUrl(QStringLiteral("javascript:alert(1)"))),
                 QStringLiteral("Skyvane does not open javascript: addresses"));
    }

    // From another machine only web addresses open.
    void fromAfar()
    {
        for (const auto& [asked, refusal] : std::initializer_list<std::pair<const char*, const char*>>{
                 {"radar.example/loop", ""},
                 {"https://radar.example/", ""},
                 {"file:///etc/passwd", "\"file:///etc/passwd\" is not a web address (http or https)"},
                 {"javascript:alert(1)", "\"javascript:alert(1)\" is not a web address (http or https)"},
                 {"", "\"\" is not a web address (http or https)"}}) {
            const QString text = QString::fromLatin1(asked);
            QCOMPARE(AddressRules::refusalFromAfar(QUrl::fromUserInput(text), text), QLatin1String(refusal));
        }
    }

    // Kept as sent: percent-encoding and punycode stay, so that the code page cannot turn them into
    // '?' and a look-alike host is never shown as the real one.
    void keptEncoded()
    {
        QCOMPARE(AddressRules::kept(QUrl::fromEncoded("http://xn--80ak6aa92e.com/%D1%80%D0%B0?q=a%20b")),
                 QStringLiteral("http://xn--80ak6aa92e.com/%D1%80%D0%B0?q=a%20b"));
        QCOMPARE(AddressRules::kept(QUrl(QStringLiteral("http://radar.example/р"))),
                 QStringLiteral("http://radar.example/%D1%80"));
        QVERIFY(AddressRules::fits(QString(260, QLatin1Char('a')), 260));
        QVERIFY(!AddressRules::fits(QString(261, QLatin1Char('a')), 260));
    }
};

QTEST_GUILESS_MAIN(TestAddressRules)
#include "tst_AddressRules.moc"
