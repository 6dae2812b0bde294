// A validator for text boxes whose value is stored as code page 932 bytes: it refuses any edit
// that would leave a character without a code page 932 form, a forbidden character, or more
// bytes than the field holds. A refused paste is refused whole (never cut), so a value is
// never stored shortened; the box reports the refusal (QLineEdit::inputRejected).
#pragma once

#include <QValidator>

namespace tnw::app {

class Cp932Validator : public QValidator {
    Q_OBJECT
public:
    // `maxBytes`: the most code page 932 bytes the text may take. `forbidden`: characters the
    // value may not hold at all.
    explicit Cp932Validator(int maxBytes, QString forbidden = {}, QObject* parent = nullptr);

    State validate(QString& input, int& pos) const override;

    int maxBytes() const { return m_maxBytes; }
    // Whether `text` is acceptable as a whole.
    bool accepts(const QString& text) const;

private:
    int m_maxBytes;
    QString m_forbidden;
};

}  // namespace tnw::app
