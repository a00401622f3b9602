// Checks shared by the server and the browser: the same text runs in both, so
// a value the browser lets through is judged the same way again on the server.

function ow_isNothing(v) {
    return v === null || typeof v == "undefined" || typeof v == "unknown";
}

function ow_pad(n, width) {
    var s = String(n);
    while (s.length < width) s = "0" + s;
    return s;
}

function ow_formatDate(d, dateType) {
    var y = ow_pad(d.getFullYear(), 4), m = ow_pad(d.getMonth() + 1, 2), day = ow_pad(d.getDate(), 2);
    if (dateType == 1) return m + "/" + day + "/" + y;
    if (dateType == 2) return day + "/" + m + "/" + y;
    return y + "-" + m + "-" + day;
}

// A time alone, as a time column holds it, comes as a date on 30 December
// 1899, the day the date values count from.
function ow_isTimeOnly(d) {
    return d.getFullYear() == 1899 && d.getMonth() == 11 && d.getDate() == 30;
}

function ow_formatTime(d) {
    return ow_pad(d.getHours(), 2) + ":" + ow_pad(d.getMinutes(), 2) + ":" + ow_pad(d.getSeconds(), 2);
}

function ow_formatDateTime(d, dateType) {
    if (ow_isTimeOnly(d)) return ow_formatTime(d);
    var text = ow_formatDate(d, dateType);
    if (d.getHours() || d.getMinutes() || d.getSeconds()) text += " " + ow_formatTime(d);
    return text;
}

// A date typed in the column's date type (0 yyyy-mm-dd, 1 mm/dd/yyyy,
// 2 dd/mm/yyyy), optionally followed by a time, or a time alone (on the day
// time values fall on); null when it is none.
function ow_parseDate(text, dateType) {
    var s = String(text).replace(/^\s+|\s+$/g, "");
    if (/^\d{1,2}:\d{2}(:\d{2})?$/.test(s)) s = (dateType == 1 ? "12/30/1899 " : dateType == 2 ? "30/12/1899 " : "1899-12-30 ") + s;
    var whole = /^([^ T]+)(?:[ T](\d{1,2}):(\d{2})(?::(\d{2}))?)?$/.exec(s);
    if (!whole) return null;
    var y, m, d, parts;
    if (dateType == 1 || dateType == 2) {
        parts = /^(\d{1,2})\/(\d{1,2})\/(\d{4})$/.exec(whole[1]);
        if (!parts) return null;
        y = parseInt(parts[3], 10);
        m = parseInt(dateType == 1 ? parts[1] : parts[2], 10);
        d = parseInt(dateType == 1 ? parts[2] : parts[1], 10);
    } else {
        parts = /^(\d{4})-(\d{1,2})-(\d{1,2})$/.exec(whole[1]);
        if (!parts) return null;
        y = parseInt(parts[1], 10);
        m = parseInt(parts[2], 10);
        d = parseInt(parts[3], 10);
    }
    var h = whole[2] ? parseInt(whole[2], 10) : 0;
    var mi = whole[3] ? parseInt(whole[3], 10) : 0;
    var se = whole[4] ? parseInt(whole[4], 10) : 0;
    if (h > 23 || mi > 59 || se > 59) return null;
    var date = new Date(y, m - 1, d, h, mi, se);
    if (date.getFullYear() != y || date.getMonth() != m - 1 || date.getDate() != d) return null;
    return date;
}

function ow_isNumber(s) {
    return /^[+-]?(\d+(\.\d*)?|\.\d+)([eE][+-]?\d+)?$/.test(s);
}

function ow_isInteger(s) {
    return /^[+-]?\d+$/.test(s);
}

// An amount of money: an optional sign and currency sign, digits with or
// without thousands separators, and at most two decimals.
function ow_isCurrency(s) {
    return /^[+-]?[$\u20ac\u00a3\u00a5]?\s?(\d{1,3}(,\d{3})+|\d+)(\.\d{1,2})?$/.test(s);
}

function ow_currencyNumber(s) {
    return String(s).replace(/[$\u20ac\u00a3\u00a5,\s]/g, "");
}

// 13 to 19 digits, blanks and dashes allowed between them, passing the Luhn check.
function ow_isCreditCard(s) {
    var digits = String(s).replace(/[\s-]/g, "");
    if (!/^\d{13,19}$/.test(digits)) return false;
    var sum = 0, twice = false;
    for (var i = digits.length - 1; i >= 0; i--) {
        var n = digits.charCodeAt(i) - 48;
        if (twice) {
            n *= 2;
            if (n > 9) n -= 9;
        }
        sum += n;
        twice = !twice;
    }
    return sum % 10 == 0;
}

function ow_isEmail(s) {
    return /^[^\s@<>()\[\],;:"]+@[A-Za-z0-9]([A-Za-z0-9-]*[A-Za-z0-9])?(\.[A-Za-z0-9]([A-Za-z0-9-]*[A-Za-z0-9])?)+$/.test(s);
}

// At least eight characters, among them a letter and a digit.
function ow_isPassword(s) {
    return s.length >= 8 && /[A-Za-z]/.test(s) && /\d/.test(s);
}

// Digits with the usual separators, an optional leading "+", 6 to 20 digits.
function ow_isPhone(s) {
    if (!/^\+?[\d\s().\/-]+$/.test(s)) return false;
    var digits = s.replace(/\D/g, "").length;
    return digits >= 6 && digits <= 20;
}

// A postal code: 3 to 10 letters and digits, single blanks or dashes inside.
function ow_isZip(s) {
    return /^[A-Za-z0-9]+([ -][A-Za-z0-9]+)*$/.test(s) && s.length >= 3 && s.length <= 10;
}

function ow_trimmed(text) {
    return ow_isNothing(text) ? "" : String(text).replace(/^\s+|\s+$/g, "");
}
