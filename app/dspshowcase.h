#pragma once

#include <QString>
#include <QVector>

#include <functional>

class DspTab;

// Screenshot scenes of the DSP page for the screenshot tour. start() analyses the recording in
// the page's file field (when there is one) while the tour photographs the other pages; the
// scenes then show the result's four views with a selected band and a located pulse.
namespace DspShowcase {

struct Scene
{
    QString name;                // file name part, after the page name
    std::function<void()> setUp; // puts the page into the scene
};

void start(DspTab &tab);

// The scenes, the first of which is the page itself. Each set-up waits (up to a minute) for the
// analysis to finish; without a result the scenes show the empty page.
QVector<Scene> scenes(DspTab &tab);

} // namespace DspShowcase
