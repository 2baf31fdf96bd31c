#pragma once

#include <stdexcept>

#include <QString>

namespace sw::imaging {

// A decoding, encoding or transform failure with a sentence a user can read ("Not a TIFF file",
// "Corrupt CCITT data in strip 3", "Image of 200000 x 200000 pixels exceeds the 2 GB limit").
class ImagingError : public std::runtime_error {
public:
    explicit ImagingError(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    [[nodiscard]] QString message() const { return m_message; }

private:
    QString m_message;
};

}  // namespace sw::imaging
