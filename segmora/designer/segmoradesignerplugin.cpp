#include "segmoradesignerplugin.h"

#include <Segmora/segmora.h>

SegmoraDesignerPlugin::SegmoraDesignerPlugin(QObject *parent)
    : QObject(parent)
{}

QString SegmoraDesignerPlugin::name() const
{
    return QStringLiteral("Segmora");
}

QString SegmoraDesignerPlugin::group() const
{
    return QStringLiteral("Segmora");
}

QString SegmoraDesignerPlugin::toolTip() const
{
    return QStringLiteral("Seven-segment, nixie, thumbwheel or LED number display");
}

QString SegmoraDesignerPlugin::whatsThis() const
{
    return QStringLiteral("Shows a number in the pattern of its Format property (\"#\" a digit, "
                          "\".\" the decimal point) in the look of its Style property.");
}

QString SegmoraDesignerPlugin::includeFile() const
{
    return QStringLiteral("Segmora/segmora.h");
}

QIcon SegmoraDesignerPlugin::icon() const
{
    return Segmora::icon();
}

bool SegmoraDesignerPlugin::isContainer() const
{
    return false;
}

QWidget *SegmoraDesignerPlugin::createWidget(QWidget *parent)
{
    return new Segmora(parent);
}

// A new display in a form: a small LED readout with two decimals.
QString SegmoraDesignerPlugin::domXml() const
{
    return QStringLiteral(R"(<ui language="c++">
 <widget class="Segmora" name="segmora">
  <property name="Format">
   <string>###.##</string>
  </property>
  <property name="Style">
   <enum>Segmora::Led_Vector</enum>
  </property>
  <property name="Size">
   <enum>Segmora::Medium</enum>
  </property>
 </widget>
</ui>
)");
}
