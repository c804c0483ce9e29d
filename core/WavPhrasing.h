#pragma once

#include <QObject>

#include <memory>

#include "Model.h"

class QWav;

// Per input (INPUT_B selects B, every other graph A): the sound shown and played under the phrasing
// areas, null until the colour-file panel provides one. GUI thread only; the player takes its own
// handle when it sets up a deck, so a replaced sound lives on while a deck holds it.
class WavPhrasing : public QObject {
    Q_OBJECT

public:
    explicit WavPhrasing(QObject* parent = nullptr);

    std::shared_ptr<const QWav> wav(ModelGraph::EnumGraph graph) const;
    void setWavPhrasing(ModelGraph::EnumGraph graph, std::shared_ptr<const QWav> wav);

private:
    static int index(ModelGraph::EnumGraph graph) { return Model::inputIndex(graph); }

    std::shared_ptr<const QWav> m_wav[2];
};
