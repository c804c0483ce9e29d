#pragma once

// Speed tracker of a timecode input: an alpha-beta filter over the record's movement.
// v is the record speed relative to normal speed (1.0 forwards at nominal speed, negative
// backwards); x the filter's residual position in seconds of record time; dt seconds per sample.
class QPitch {
public:
    double dt() const { return m_dt; }
    void setDt(double dt) { m_dt = dt; }
    double x() const { return m_x; }
    void setX(double x) { m_x = x; }
    double v() const { return m_v; }
    void setV(double v) { m_v = v; }

private:
    friend class Timecoder;

    double m_dt = 0.0;
    double m_x = 0.0;
    double m_v = 0.0;
};
