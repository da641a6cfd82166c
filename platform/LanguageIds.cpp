#include <algorithm>
#include <cctype>
#include <string>

#include "platform/SystemInfo.h"

namespace platform {
namespace {

struct LocaleLanguageId {
    const char* szLocale;  // "ll" alone is the language's default
    int nLanguageId;
};

// Windows language ids for the locales of the product's languages and of other common ones.
constexpr LocaleLanguageId kLanguageIds[] = {
    {"ar", 1025},    {"ar_SA", 1025}, {"ar_IQ", 2049}, {"ar_EG", 3073}, {"ar_LY", 4097},  {"ar_DZ", 5121},
    {"ar_MA", 6145}, {"ar_TN", 7169}, {"ar_OM", 8193}, {"ar_YE", 9217}, {"ar_SY", 10241}, {"ar_JO", 11265},
    {"ar_LB", 12289}, {"ar_KW", 13313}, {"ar_AE", 14337}, {"ar_BH", 15361}, {"ar_QA", 16385},
    {"zh", 2052},    {"zh_CN", 2052}, {"zh_TW", 1028}, {"zh_HK", 3076}, {"zh_SG", 4100},  {"zh_MO", 5124},
    {"nl", 1043},    {"nl_NL", 1043}, {"nl_BE", 2067},
    {"en", 1033},    {"en_US", 1033}, {"en_GB", 2057}, {"en_AU", 3081}, {"en_CA", 4105},  {"en_NZ", 5129},
    {"en_IE", 6153}, {"en_ZA", 7177}, {"en_IN", 16393},
    {"fr", 1036},    {"fr_FR", 1036}, {"fr_BE", 2060}, {"fr_CA", 3084}, {"fr_CH", 4108},  {"fr_LU", 5132},
    {"de", 1031},    {"de_DE", 1031}, {"de_CH", 2055}, {"de_AT", 3079}, {"de_LU", 4103},  {"de_LI", 5127},
    {"pl", 1045},    {"pl_PL", 1045},
    {"pt", 1046},    {"pt_BR", 1046}, {"pt_PT", 2070},
    {"es", 3082},    {"es_ES", 3082}, {"es_MX", 2058}, {"es_GT", 4106}, {"es_CR", 5130},  {"es_PA", 6154},
    {"es_DO", 7178}, {"es_VE", 8202}, {"es_CO", 9226}, {"es_PE", 10250}, {"es_AR", 11274}, {"es_EC", 12298},
    {"es_CL", 13322}, {"es_UY", 14346}, {"es_PY", 15370}, {"es_BO", 16394}, {"es_US", 21514},
    {"sv", 1053},    {"sv_SE", 1053}, {"sv_FI", 2077},
    {"it", 1040},    {"it_IT", 1040}, {"it_CH", 2064},
    {"ja", 1041},    {"ko", 1042},    {"ru", 1049},    {"tr", 1055},    {"cs", 1029},    {"da", 1030},
    {"fi", 1035},    {"el", 1032},    {"he", 1037},    {"hu", 1038},    {"nb", 1044},    {"no", 1044},
    {"ro", 1048},    {"uk", 1058},    {"vi", 1066},    {"th", 1054},    {"id", 1057},    {"fa", 1065},
};

int FindLanguageId(const std::string& key) {
    for (const auto& entry : kLanguageIds) {
        if (key == entry.szLocale) return entry.nLanguageId;
    }
    return 0;
}

}  // namespace

int LanguageIdOfLocale(const std::string& locale) {
    // "ll_CC.codeset@modifier": only language and territory matter.
    std::string name = locale.substr(0, locale.find_first_of(".@"));
    std::replace(name.begin(), name.end(), '-', '_');
    const std::size_t underscore = name.find('_');
    std::string language = name.substr(0, underscore);
    std::transform(language.begin(), language.end(), language.begin(), [](unsigned char c) { return std::tolower(c); });
    if (language.empty()) return 0;
    if (underscore != std::string::npos) {
        std::string territory = name.substr(underscore + 1);
        std::transform(territory.begin(), territory.end(), territory.begin(),
                       [](unsigned char c) { return std::toupper(c); });
        if (const int id = FindLanguageId(language + "_" + territory)) return id;
    }
    return FindLanguageId(language);
}

}  // namespace platform
