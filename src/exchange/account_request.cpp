#include "exchange/account_request.h"

#include <vector>

#include "platform/codepage.h"
#include "platform/text.h"

namespace regwiz::exchange {
namespace {

struct Field {
    const char* key;
    std::string value;
    bool encoded = true; // "&Offers=True" carries its value in the key
};

std::vector<Field> RequestFields(const SignUpRecord& r)
{
    return {
        {"firstname=", r.firstName},
        {"&lastname=", r.lastName},
        {"&Address1=", r.address1},
        {"&Address2=", r.address2},
        {"&City=", r.city},
        {"&State=", r.state},
        {"&ZipCode=", r.zipCode},
        {"&Age=", r.age},
        {"&Gender=", r.gender},
        {"&Phone=", r.phone},
        {"&e_mail=", r.email},
        {"&Offers=True", "", false},
        {"&Media=", r.media},
        {"&MediaName=", r.mediaName},
        {"&AccType=", r.accType},
        {"&Employed=", r.employed},
        {"&Occupation=", r.occupation},
        {"&BusinessOwner=", r.businessOwner},
        {"&HomeBased=", r.homeBased},
        {"&PaymentType=", r.paymentType},
        {"&CCNumber=", r.ccNumber},
        {"&CCMonth=", r.ccMonth},
        {"&CCYear=", r.ccYear},
        {"&CCName=", r.ccName},
        {"&AccessNumber=", r.accessNumber},
        {"&Password=", r.password},
    };
}

std::string Join(const std::vector<Field>& fields)
{
    std::string body;
    for (const Field& field : fields)
        body += std::string(field.key) + (field.encoded ? FormEncode(field.value) : std::string());
    return body;
}

} // namespace

std::string FormEncode(const std::string& text)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string encoded;
    for (char c : platform::ToAnsi(text)) {
        const auto b = static_cast<unsigned char>(c);
        if ((b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || (b >= '0' && b <= '9') || b == '-'
            || b == '_' || b == '.' || b == '*') {
            encoded += c;
        } else if (b == ' ') {
            encoded += '+';
        } else {
            encoded += '%';
            encoded += kHex[b >> 4];
            encoded += kHex[b & 0x0F];
        }
    }
    // Plain ASCII: the same inside the program and on the wire.
    return encoded;
}

std::string RequestBody(const SignUpRecord& record)
{
    return Join(RequestFields(record));
}

std::string LoggedBody(const SignUpRecord& record)
{
    SignUpRecord logged = record;
    logged.ccNumber = platform::Right(record.ccNumber, 4);
    logged.password = std::string(platform::CharCount(record.password), '*');
    return Join(RequestFields(logged));
}

} // namespace regwiz::exchange
