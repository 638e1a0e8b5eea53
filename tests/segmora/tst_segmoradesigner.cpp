// The Qt Designer plugin, loaded the way Designer loads it.

#include <Segmora/segmora.h>

#include <QPluginLoader>
#include <QXmlStreamReader>
#include <QtTest>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>

class TestSegmoraDesigner : public QObject
{
    Q_OBJECT

private slots:
    void pluginOffersSegmora();
};

void TestSegmoraDesigner::pluginOffersSegmora()
{
    QPluginLoader loader(QStringLiteral(SEGMORA_DESIGNER_PLUGIN));
    QCOMPARE(loader.metaData().value(QStringLiteral("IID")).toString(),
             QStringLiteral("org.qt-project.Qt.QDesignerCustomWidgetInterface"));
    QObject *instance = loader.instance();
    QVERIFY2(instance, qPrintable(loader.errorString()));
    auto *plugin = qobject_cast<QDesignerCustomWidgetInterface *>(instance);
    QVERIFY(plugin);

    QCOMPARE(plugin->name(), QStringLiteral("Segmora"));
    QCOMPARE(plugin->group(), QStringLiteral("Segmora"));
    QCOMPARE(plugin->includeFile(), QStringLiteral("Segmora/segmora.h"));
    QVERIFY(!plugin->isContainer());
    QVERIFY(!plugin->toolTip().isEmpty());
    QCOMPARE(plugin->icon().pixmap(38, 50).toImage(), Segmora::icon().pixmap(38, 50).toImage());

    QWidget parent;
    QWidget *widget = plugin->createWidget(&parent);
    auto *display = qobject_cast<Segmora *>(widget);
    QVERIFY(display);
    QCOMPARE(display->parentWidget(), &parent);

    // The form snippet names the class and sets only properties the class has.
    QXmlStreamReader xml(plugin->domXml());
    int properties = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("widget")) {
            QCOMPARE(xml.attributes().value(QStringLiteral("class")).toString(),
                     QStringLiteral("Segmora"));
        } else if (xml.name() == QLatin1String("property")) {
            const QString name = xml.attributes().value(QStringLiteral("name")).toString();
            QVERIFY2(Segmora::staticMetaObject.indexOfProperty(name.toLatin1()) >= 0,
                     qPrintable(name));
            ++properties;
        }
    }
    QVERIFY(!xml.hasError());
    QCOMPARE(properties, 3);
}

QTEST_MAIN(TestSegmoraDesigner)
#include "tst_segmoradesigner.moc"
