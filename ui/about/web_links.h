// The maker's web addresses, linked from the About box and the help page.
#pragma once

#define VANTRELL_WEB_SITE "https://vantrell.example.com/"
#define VANTRELL_DONATE_PAGE VANTRELL_WEB_SITE "donate.php"
#define VANTRELL_MAKER "Copyright (C) 2026 Vantrell Software"
