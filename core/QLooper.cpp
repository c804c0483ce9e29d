#include "QLooper.h"

QLooper::QLooper(const QString& filename, int version, ModelActivatedMode::EnumActivatedMode mode, int app,
                 const QString& title, const QString& author, const QString& url, const QString& path_picture,
                 int bpm, const QString& path_sound_looper, int offset, const QString& path_sound_a,
                 const QString& path_sound_b, const QString& path_curve_1, const QString& path_curve_2,
                 const QString& path_color_a, const QString& path_color_b)
    : m_null(false), m_filename(filename), m_version(version), m_mode(mode), m_app(app), m_title(title),
      m_author(author), m_url(url), m_path_picture(path_picture), m_bpm(bpm),
      m_path_sound_looper(path_sound_looper), m_offset(offset), m_path_sound_a(path_sound_a),
      m_path_sound_b(path_sound_b), m_path_curve_1(path_curve_1), m_path_curve_2(path_curve_2),
      m_path_color_a(path_color_a), m_path_color_b(path_color_b) {}
