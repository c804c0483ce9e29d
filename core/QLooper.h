#pragma once

#include <QString>

#include "Model.h"

// The header record of one looper, training or recording set, as a library row holds it.
// A plain value: copied freely, never shared between threads while written.
class QLooper {
public:
    // The null record: no set.
    QLooper() = default;
    // `app` is an opaque value that only travels through the training file.
    QLooper(const QString& filename, int version, ModelActivatedMode::EnumActivatedMode mode, int app,
            const QString& title, const QString& author, const QString& url, const QString& path_picture,
            int bpm, const QString& path_sound_looper, int offset, const QString& path_sound_a,
            const QString& path_sound_b, const QString& path_curve_1, const QString& path_curve_2,
            const QString& path_color_a, const QString& path_color_b);

    bool isNull() const { return m_null; }
    const QString& filename() const { return m_filename; }
    int version() const { return m_version; }
    ModelActivatedMode::EnumActivatedMode mode() const { return m_mode; }
    int app() const { return m_app; }
    const QString& title() const { return m_title; }
    const QString& author() const { return m_author; }
    const QString& url() const { return m_url; }
    const QString& path_picture() const { return m_path_picture; }
    int bpm() const { return m_bpm; }
    const QString& path_sound_looper() const { return m_path_sound_looper; }
    int offset() const { return m_offset; }
    const QString& path_sound_a() const { return m_path_sound_a; }
    const QString& path_sound_b() const { return m_path_sound_b; }
    const QString& path_curve_1() const { return m_path_curve_1; }
    const QString& path_curve_2() const { return m_path_curve_2; }
    const QString& path_color_a() const { return m_path_color_a; }
    const QString& path_color_b() const { return m_path_color_b; }

    void setMode(ModelActivatedMode::EnumActivatedMode mode) { m_mode = mode; }

private:
    bool m_null = true;
    QString m_filename;
    int m_version = 0;
    ModelActivatedMode::EnumActivatedMode m_mode = ModelActivatedMode::Recording;
    int m_app = 0;
    QString m_title;
    QString m_author;
    QString m_url;
    QString m_path_picture;
    int m_bpm = 0;
    QString m_path_sound_looper;
    int m_offset = 0;
    QString m_path_sound_a;
    QString m_path_sound_b;
    QString m_path_curve_1;
    QString m_path_curve_2;
    QString m_path_color_a;
    QString m_path_color_b;
};
