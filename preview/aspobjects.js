// The objects a classic ASP page finds on the server: Request, Response,
// Server, Session, Application, the ADODB objects and Scriptlet.TypeLib.
// Evaluated once for each script engine; it returns the functions the host
// calls around each page. native is the host's bridge (see pagebridge.h).
// Last, it removes the built-ins JScript 5.8 does not have, so a page that
// uses one fails here as on the server.
(function (native) {
    var global = Function("return this")();
    var defineProperty = Object.defineProperty;
    var setPrototypeOf = Object.setPrototypeOf;
    var ownNames = Object.getOwnPropertyNames;
    var ProxyType = Proxy;
    var getPrototypeOf = Object.getPrototypeOf;
    var hasOwn = Object.prototype.hasOwnProperty;

    // ------------------------------------------------------------ errors

    // An error as the server reports it: its source ("Response object"), its
    // code ("ASP 0156" or an HRESULT) and description.
    function aspError(source, code, description) {
        var e = new Error(description);
        e.aspSource = source;
        e.aspCode = code;
        if (/^[0-9a-f]{8}$/i.test(code)) e.number = parseInt(code, 16) | 0;
        else e.number = 0x80004005 | 0;
        e.description = description;
        return e;
    }
    var NO_CURRENT = "Either BOF or EOF is True, or the current record has been deleted. " +
        "Requested operation requires a current record.";
    var CLOSED = "Operation is not allowed when the object is closed.";
    var OPEN = "Operation is not allowed when the object is open.";
    // Rows a forward-only recordset holds at a time.
    var ROW_BATCH = 500;
    var NOT_FOUND = "Item cannot be found in the collection corresponding to the requested name or ordinal.";

    function isNothing(v) { return v === undefined || v === null; }

    function getter(object, name, get, set) {
        defineProperty(object, name, { get: get, set: set, enumerable: false, configurable: true });
    }

    // A function that is also an object with members: ASP collections are
    // called ("Request.Form("x")") and used ("Request.Form.Count").
    function callable(call, prototype) {
        setPrototypeOf(call, prototype);
        return call;
    }
    function collectionPrototype() {
        var p = function () {};
        setPrototypeOf(p, Function.prototype);
        return p;
    }

    // An object whose default property can be assigned: JScript allows
    // "Session("x") = v", which the host turns into "Session["x"] = v". Names
    // the object's prototype defines stay its own members ("Session.Timeout = 5").
    function assignable(target, store) {
        var members = getPrototypeOf(target);
        return new ProxyType(target, {
            set: function (t, name, value, receiver) {
                if (typeof name == "string" && !hasOwn.call(members, name)) {
                    store(name, value);
                    return true;
                }
                t[name] = value;
                return true;
            }
        });
    }

    // ------------------------------------------------------------ request state

    var Server; // defined below, used by Response
    var req = null;   // the request the page answers
    var out = null;   // its response
    var session = null;
    var pages = [];   // virtual paths of the running pages (Server.Execute nests them)

    // ------------------------------------------------------------ string lists

    // A list is called with an index as well ("Request.Form("a")(2)"), so it
    // is a function with the list's members; "new StringList(values)" hands
    // back that function, still an instance of StringList.
    function StringList(values) {
        var list = callable(function (index) { return list.Item(index); }, StringList.prototype);
        list.__values = values;
        list.Count = values.length;
        return list;
    }
    setPrototypeOf(StringList.prototype, Function.prototype);
    StringList.prototype.Item = function (index) {
        if (index === undefined) return this.valueOf();
        var i = Number(index);
        if (!(i >= 1 && i <= this.__values.length) || i != Math.floor(i))
            throw aspError("Request object", "ASP 0105", "An array index is out of range.");
        return this.__values[i - 1];
    };
    StringList.prototype.valueOf = function () {
        return this.__values.length ? this.__values.join(", ") : undefined;
    };
    StringList.prototype.toString = function () {
        return this.__values.length ? this.__values.join(", ") : "undefined";
    };
    StringList.prototype.__enumItems = function () { return this.__values.slice(0); };

    // name -> values, with the names' order; names compare without case.
    function Pairs(list) {
        this.map = {};
        this.names = [];
        for (var i = 0; i < list.length; i++) {
            var key = String(list[i][0]).toLowerCase();
            if (!hasOwn.call(this.map, key)) {
                this.map[key] = { name: String(list[i][0]), values: [] };
                this.names.push(key);
            }
            this.map[key].values.push(String(list[i][1]));
        }
    }
    Pairs.prototype.find = function (name) {
        var key = String(name).toLowerCase();
        return hasOwn.call(this.map, key) ? this.map[key] : null;
    };

    function requestCollection(pairs, raw, name) {
        var proto = collectionPrototype();
        var c = callable(function (key) {
            if (key === undefined) return raw();
            return lookup(key);
        }, proto);
        function lookup(key) {
            var p = pairs();
            if (typeof key == "number") {
                if (key < 1 || key > p.names.length || key != Math.floor(key))
                    throw aspError("Request object", "ASP 0105", "An array index is out of range.");
                return new StringList(p.map[p.names[key - 1]].values);
            }
            var found = p.find(key);
            return new StringList(found ? found.values : []);
        }
        proto.Item = function (key) { return key === undefined ? raw() : lookup(key); };
        proto.Key = function (i) {
            var p = pairs();
            if (!(i >= 1 && i <= p.names.length))
                throw aspError("Request object", "ASP 0105", "An array index is out of range.");
            return p.map[p.names[i - 1]].name;
        };
        getter(proto, "Count", function () { return pairs().names.length; });
        proto.toString = function () { var r = raw(); return r === undefined ? "" : String(r); };
        proto.__enumItems = function () {
            var p = pairs(), names = [];
            for (var i = 0; i < p.names.length; i++) names.push(p.map[p.names[i]].name);
            return names;
        };
        proto.__name = name;
        return c;
    }

    // ------------------------------------------------------------ Request

    var requestProto = collectionPrototype();
    var Request = callable(function (name) {
        var sources = [req.query, req.form, req.cookies];
        for (var i = 0; i < sources.length; i++) {
            var found = sources[i].find(name);
            if (found) return new StringList(found.values);
        }
        var variable = req.variables.find(name);
        return new StringList(variable ? variable.values : []);
    }, requestProto);
    requestProto.QueryString = requestCollection(function () { return req.query; },
        function () { return req.rawQuery; }, "QueryString");
    requestProto.Form = requestCollection(function () { return req.form; },
        function () { return req.rawForm; }, "Form");
    requestProto.ServerVariables = requestCollection(function () { return req.variables; },
        function () { return undefined; }, "ServerVariables");
    requestProto.ClientCertificate = requestCollection(function () { return new Pairs([]); },
        function () { return undefined; }, "ClientCertificate");

    // A request cookie: its text, or one of its keys ("a=1&b=2").
    function RequestCookie(text) {
        this.__text = text;
        var keys = [];
        if (text.indexOf("=") >= 0) {
            var parts = text.split("&");
            for (var i = 0; i < parts.length; i++) {
                var at = parts[i].indexOf("=");
                if (at > 0) keys.push([decodeForm(parts[i].substr(0, at)), decodeForm(parts[i].substr(at + 1))]);
            }
        }
        this.__keys = new Pairs(keys);
        this.HasKeys = keys.length > 0;
        this.Count = this.__keys.names.length;
    }
    RequestCookie.prototype.Item = function (key) {
        if (key === undefined) return this.__text;
        var found = this.__keys.find(key);
        return found ? found.values[0] : "";
    };
    RequestCookie.prototype.toString = function () { return this.__text; };
    RequestCookie.prototype.valueOf = function () { return this.__text; };
    function decodeForm(text) {
        try {
            return decodeURIComponent(String(text).replace(/\+/g, " "));
        } catch (e) {
            return String(text);
        }
    }

    var cookieProto = collectionPrototype();
    requestProto.Cookies = callable(function (name) {
        if (name === undefined) return "";
        var found = typeof name == "number" ? req.cookies.map[req.cookies.names[name - 1]] : req.cookies.find(name);
        return new RequestCookie(found ? found.values[0] : "");
    }, cookieProto);
    cookieProto.Item = function (name) { return requestProto.Cookies(name); };
    getter(cookieProto, "Count", function () { return req.cookies.names.length; });
    cookieProto.Key = function (i) { return req.cookies.map[req.cookies.names[i - 1]].name; };
    cookieProto.__enumItems = function () {
        var names = [];
        for (var i = 0; i < req.cookies.names.length; i++) names.push(req.cookies.map[req.cookies.names[i]].name);
        return names;
    };
    getter(requestProto, "TotalBytes", function () { return req.totalBytes; });
    requestProto.BinaryRead = function () {
        throw aspError("Request object", "ASP 0206",
            "Cannot call BinaryRead: the preview hands the request body to Request.Form only.");
    };

    // ------------------------------------------------------------ Response

    function headersLocked() {
        return out.flushed || (!out.buffer && out.body.length > 0);
    }
    function checkHeaders() {
        if (headersLocked())
            throw aspError("Response object", "ASP 0156", "The HTTP headers are already written to " +
                "the client browser. Any HTTP header modifications must be made before writing page content.");
    }
    function stop() {
        out.ended = true;
        native.end();
    }
    function text(v) {
        if (v instanceof Field) v = v.Value;
        if (v instanceof StringList) v = v.valueOf();
        if (isNothing(v)) return "";
        return String(v);
    }

    var responseCookieMembers = { Expires: 1, Domain: 1, Path: 1, Secure: 1, HttpOnly: 1 };
    function responseCookie(name) {
        var key = String(name).toLowerCase();
        if (!hasOwn.call(out.cookies, key))
            out.cookies[key] = { name: String(name), value: "", keys: new Pairs([]), keyList: [], Path: "/" };
        var cookie = out.cookies[key];
        var target = function (sub) { return sub === undefined ? cookie.value : ""; };
        getter(target, "HasKeys", function () { return cookie.keyList.length > 0; });
        for (var m in responseCookieMembers) {
            (function (member) {
                getter(target, member, function () { return cookie[member]; },
                    function (v) { checkHeaders(); cookie[member] = v; });
            })(m);
        }
        return new ProxyType(target, {
            set: function (t, prop, value) {
                checkHeaders();
                if (hasOwn.call(responseCookieMembers, prop)) cookie[prop] = value;
                else cookie.keyList.push([String(prop), text(value)]);
                return true;
            }
        });
    }
    var responseCookies = assignable(function (name) { return responseCookie(name); }, function (name, value) {
        checkHeaders();
        responseCookie(name);
        out.cookies[name.toLowerCase()].value = text(value);
    });

    // The response as the page has set it so far, without its body.
    function responseState() {
        var cookies = [];
        for (var key in out.cookies) {
            if (!hasOwn.call(out.cookies, key)) continue;
            var c = out.cookies[key], value = c.value;
            if (c.keyList.length) {
                var parts = [];
                for (var i = 0; i < c.keyList.length; i++)
                    parts.push(Server.URLEncode(c.keyList[i][0]) + "=" + Server.URLEncode(c.keyList[i][1]));
                value = parts.join("&");
            } else {
                value = Server.URLEncode(value);
            }
            cookies.push({
                name: c.name, value: value, path: isNothing(c.Path) ? "/" : String(c.Path),
                domain: isNothing(c.Domain) ? "" : String(c.Domain), secure: !!c.Secure,
                httpOnly: !!c.HttpOnly,
                expires: c.Expires instanceof Date ? c.Expires : (isNothing(c.Expires) ? null : new Date(c.Expires))
            });
        }
        return {
            status: out.status, headers: out.headers, cookies: cookies, contentType: out.contentType,
            charset: out.charset, codePage: out.codePage, cacheControl: out.cacheControl,
            expires: out.expires, expiresAbsolute: out.expiresAbsolute, location: out.location
        };
    }

    // Sends what the page wrote so far, and the head with it the first time.
    // Once the client has gone, the page runs on as on IIS and what it writes
    // is dropped; Response.IsClientConnected tells it.
    function send() {
        var body = out.body.join("");
        out.body = [];
        out.flushed = true;
        if (!out.gone && !native.flush(responseState(), body)) out.gone = true;
    }

    var Response = {
        Write: function (v) {
            if (out.ended || out.gone) return;
            var s = text(v);
            if (s === "") return;
            out.body.push(s);
            if (!out.buffer) send();
        },
        BinaryWrite: function (v) { Response.Write(v); },
        End: function () { stop(); },
        Clear: function () {
            if (!out.buffer)
                throw aspError("Response object", "ASP 0159", "Buffering is turned off: Clear cannot be used.");
            out.body = [];
        },
        Flush: function () {
            if (!out.buffer)
                throw aspError("Response object", "ASP 0159", "Buffering is turned off: Flush cannot be used.");
            if (!out.ended) send();
        },
        AddHeader: function (name, value) {
            checkHeaders();
            out.headers.push([String(name), text(value)]);
        },
        AppendToLog: function (entry) { native.log(text(entry)); },
        Redirect: function (url) {
            checkHeaders();
            var target = text(url);
            out.status = "302 Object moved";
            out.location = target;
            out.body = ["<head><title>Object moved</title></head>\n<body><h1>Object Moved</h1>" +
                "This object may be found <a HREF=\"" + Server.HTMLEncode(target) + "\">here</a>.</body>\n"];
            stop();
        }
    };
    getter(Response, "IsClientConnected", function () { return !out.gone; });
    getter(Response, "Status", function () { return out.status; }, function (v) {
        checkHeaders();
        var s = text(v);
        if (!/^\d{3}( .*)?$/.test(s))
            throw aspError("Response object", "ASP 0101", "Invalid status string: '" + s + "'.");
        out.status = s;
    });
    getter(Response, "ContentType", function () { return out.contentType; },
        function (v) { checkHeaders(); out.contentType = text(v); });
    getter(Response, "CharSet", function () { return out.charset; },
        function (v) { checkHeaders(); out.charset = text(v); });
    getter(Response, "CodePage", function () { return out.codePage; },
        function (v) { out.codePage = Number(v) | 0; });
    getter(Response, "LCID", function () { return out.lcid; }, function (v) { out.lcid = Number(v) | 0; });
    getter(Response, "CacheControl", function () { return out.cacheControl; },
        function (v) { checkHeaders(); out.cacheControl = text(v); });
    getter(Response, "Expires", function () { return out.expires; },
        function (v) { checkHeaders(); out.expires = Number(v); out.expiresAbsolute = null; });
    getter(Response, "ExpiresAbsolute", function () { return out.expiresAbsolute; },
        function (v) { checkHeaders(); out.expiresAbsolute = new Date(v); out.expires = null; });
    getter(Response, "Buffer", function () { return out.buffer; }, function (v) {
        var on = !!v;
        if (on != out.buffer && (out.body.length > 0 || out.flushed))
            throw aspError("Response object", "ASP 0157", "Buffering cannot be changed once content has been written.");
        out.buffer = on;
    });
    getter(Response, "Cookies", function () { return responseCookies; });

    // ------------------------------------------------------------ Server

    Server = {
        CreateObject: function (progId) {
            var id = text(progId).toLowerCase();
            if (id == "adodb.connection") return new Connection();
            if (id == "adodb.command") return new Command();
            if (id == "adodb.recordset") return newRecordset();
            if (id == "scriptlet.typelib") return new TypeLib();
            throw aspError("Server object", "ASP 0177 : 800401f3", "Invalid class string: '" + text(progId) +
                "' is not an object the preview provides (ADODB.Connection, ADODB.Command, " +
                "ADODB.Recordset, Scriptlet.TypeLib).");
        },
        MapPath: function (path) {
            var r = native.mapPath(text(path), pages[pages.length - 1]);
            if (r.error) throw aspError("Server object", r.code, r.error);
            return r.path;
        },
        HTMLEncode: function (v) {
            var s = text(v), o = "";
            for (var i = 0; i < s.length; i++) {
                var c = s.charAt(i), n = s.charCodeAt(i);
                if (c == "&") o += "&amp;";
                else if (c == "<") o += "&lt;";
                else if (c == ">") o += "&gt;";
                else if (c == "\"") o += "&quot;";
                else if (n >= 160 && n <= 255) o += "&#" + n + ";";
                else o += c;
            }
            return o;
        },
        URLEncode: function (v) {
            return encodeURIComponent(text(v)).replace(/%20/g, "+")
                .replace(/[!'()*._~-]/g, function (c) { return "%" + c.charCodeAt(0).toString(16).toUpperCase(); });
        },
        URLPathEncode: function (v) {
            return encodeURI(text(v));
        },
        Execute: function (path) {
            var r = native.execute(text(path), pages[pages.length - 1], false);
            if (r && r.error) throw r.error;
        },
        Transfer: function (path) {
            var r = native.execute(text(path), pages[pages.length - 1], true);
            if (r && r.error) throw r.error;
            stop();
        },
        GetLastError: function () { return null; }
    };
    getter(Server, "ScriptTimeout", function () { return out.scriptTimeout; }, function (v) {
        var seconds = Number(v) | 0;
        if (seconds < 1) seconds = 1;
        out.scriptTimeout = seconds;
        native.setScriptTimeout(seconds);
    });

    // ------------------------------------------------------------ Session

    function sessionContents() {
        var proto = collectionPrototype();
        var c = callable(function (name) { return sessionGet(name); }, proto);
        proto.Item = function (name) { return sessionGet(name); };
        proto.Remove = function (name) {
            if (typeof name == "number") name = sessionKey(name);
            delete session.values[String(name).toLowerCase()];
        };
        proto.RemoveAll = function () { session.values = {}; };
        proto.Key = function (i) { return sessionKey(i); };
        getter(proto, "Count", function () { return ownNames(session.values).length; });
        proto.__enumItems = function () {
            var names = [], keys = ownNames(session.values);
            for (var i = 0; i < keys.length; i++) names.push(session.values[keys[i]][0]);
            return names;
        };
        return assignable(c, sessionSet);
    }
    function sessionKey(i) {
        var keys = ownNames(session.values);
        if (!(i >= 1 && i <= keys.length))
            throw aspError("Session object", "ASP 0105", "An array index is out of range.");
        return session.values[keys[i - 1]][0];
    }
    function sessionGet(name) {
        if (typeof name == "number") name = sessionKey(name);
        var key = String(name).toLowerCase();
        return hasOwn.call(session.values, key) ? session.values[key][1] : undefined;
    }
    function sessionSet(name, value) {
        if (value instanceof Field) value = value.Value;
        if (value instanceof StringList || value instanceof RequestCookie) value = value.valueOf();
        session.values[String(name).toLowerCase()] = [String(name), value];
    }
    function requireSession() {
        if (!session)
            throw aspError("Session object", "ASP 0168",
                "Session state is turned off for this page (EnableSessionState=False).");
    }
    var sessionProto = collectionPrototype();
    var sessionTarget = callable(function (name) { requireSession(); return sessionGet(name); }, sessionProto);
    var Session = assignable(sessionTarget, function (name, value) { requireSession(); sessionSet(name, value); });
    var contents = sessionContents();
    getter(sessionProto, "Contents", function () { requireSession(); return contents; });
    getter(sessionProto, "StaticObjects", function () { return requestCollection(function () { return new Pairs([]); },
        function () { return undefined; }, "StaticObjects"); });
    getter(sessionProto, "SessionID", function () { requireSession(); return session.id; });
    getter(sessionProto, "Timeout", function () { requireSession(); return session.timeout; }, function (v) {
        requireSession();
        var minutes = Number(v) | 0;
        if (minutes < 1)
            throw aspError("Session object", "ASP 0164", "Invalid Timeout value: it must be at least one minute.");
        session.timeout = minutes;
    });
    getter(sessionProto, "CodePage", function () { return out.codePage; }, function (v) { out.codePage = Number(v) | 0; });
    getter(sessionProto, "LCID", function () { return out.lcid; }, function (v) { out.lcid = Number(v) | 0; });
    sessionProto.Abandon = function () { requireSession(); session.abandoned = true; };

    // ------------------------------------------------------------ Application

    function applicationContents() {
        var proto = collectionPrototype();
        var c = callable(function (name) { return native.applicationValue(String(name)); }, proto);
        proto.Item = function (name) { return native.applicationValue(String(name)); };
        proto.Remove = function (name) { native.removeApplicationValue(String(name)); };
        proto.RemoveAll = function () { native.removeAllApplicationValues(); };
        getter(proto, "Count", function () { return native.applicationNames().length; });
        proto.Key = function (i) { return native.applicationNames()[i - 1]; };
        proto.__enumItems = function () { return native.applicationNames(); };
        return assignable(c, applicationSet);
    }
    function applicationSet(name, value) {
        if (value instanceof Field) value = value.Value;
        if (value instanceof StringList || value instanceof RequestCookie) value = value.valueOf();
        native.setApplicationValue(name, value);
    }
    var applicationProto = collectionPrototype();
    var appContents = applicationContents();
    var Application = assignable(callable(function (name) {
        return native.applicationValue(String(name));
    }, applicationProto), applicationSet);
    getter(applicationProto, "Contents", function () { return appContents; });
    applicationProto.Lock = function () { native.lockApplication(); };
    applicationProto.Unlock = function () { native.unlockApplication(); };

    // ------------------------------------------------------------ ADODB

    function adoCheck(r, source) {
        if (r && r.error) throw aspError(source, "80004005", r.error);
        return r;
    }

    function Connection() {
        this.ConnectionString = "";
        this.CommandTimeout = 30;
        this.ConnectionTimeout = 15;
        this.CursorLocation = 2;
        this.Mode = 0;
        this.Provider = "MSDASQL";
        this.__handle = 0;
    }
    getter(Connection.prototype, "State", function () { return this.__handle ? 1 : 0; });
    Connection.prototype.Open = function (connectionString, user, password) {
        if (this.__handle) throw aspError("ADODB.Connection", "800a0e79", OPEN);
        var cs = isNothing(connectionString) ? this.ConnectionString : text(connectionString);
        if (!isNothing(user) && text(user) != "") cs += ";UID=" + text(user);
        if (!isNothing(password) && text(password) != "") cs += ";PWD=" + text(password);
        this.ConnectionString = cs;
        var r = adoCheck(native.openConnection(cs), "ADODB.Connection");
        this.__handle = r.handle;
    };
    Connection.prototype.Close = function () {
        if (!this.__handle) throw aspError("ADODB.Connection", "800a0e78", CLOSED);
        native.closeConnection(this.__handle);
        this.__handle = 0;
    };
    Connection.prototype.__run = function (sql, params, source) {
        if (!this.__handle) throw aspError(source, "800a0e78", CLOSED);
        return adoCheck(native.query(this.__handle, sql, params), source);
    };
    // A forward-only read: the first batch of rows, the rest fetched as the
    // recordset moves on.
    Connection.prototype.__openRows = function (sql, params, source) {
        if (!this.__handle) throw aspError(source, "800a0e78", CLOSED);
        return adoCheck(native.openRows(this.__handle, sql, params, ROW_BATCH), source);
    };
    Connection.prototype.Execute = function (commandText) {
        var r = this.__run(text(commandText), [], "ADODB.Connection");
        var rs = newRecordset();
        rs.__fill(r, 0, this, text(commandText));
        return rs;
    };
    Connection.prototype.BeginTrans = function () {
        if (!this.__handle) throw aspError("ADODB.Connection", "800a0e78", CLOSED);
        adoCheck(native.transaction(this.__handle, "begin"), "ADODB.Connection");
        return 1;
    };
    Connection.prototype.CommitTrans = function () {
        if (!this.__handle) throw aspError("ADODB.Connection", "800a0e78", CLOSED);
        adoCheck(native.transaction(this.__handle, "commit"), "ADODB.Connection");
    };
    Connection.prototype.RollbackTrans = function () {
        if (!this.__handle) throw aspError("ADODB.Connection", "800a0e78", CLOSED);
        adoCheck(native.transaction(this.__handle, "rollback"), "ADODB.Connection");
    };

    function Parameter(name, type, direction, size, value) {
        this.Name = isNothing(name) ? "" : text(name);
        this.Type = isNothing(type) ? 12 : Number(type);
        this.Direction = isNothing(direction) ? 1 : Number(direction);
        this.Size = isNothing(size) ? 0 : Number(size);
        this.Value = value;
        this.Precision = 0;
        this.NumericScale = 0;
        this.Attributes = 0;
    }

    function newParameters() {
        var proto = collectionPrototype();
        var list = [];
        var c = callable(function (i) { return find(i); }, proto);
        function find(i) {
            if (typeof i == "number") {
                if (i < 0 || i >= list.length || i != Math.floor(i)) throw aspError("ADODB.Parameters", "800a0cc1", NOT_FOUND);
                return list[i];
            }
            for (var k = 0; k < list.length; k++)
                if (list[k].Name.toLowerCase() == String(i).toLowerCase()) return list[k];
            throw aspError("ADODB.Parameters", "800a0cc1", NOT_FOUND);
        }
        proto.Item = find;
        proto.Append = function (p) {
            if (!(p instanceof Parameter))
                throw aspError("ADODB.Parameters", "800a0bb9", "Arguments are of the wrong type, are out of acceptable range, or are in conflict with one another.");
            list.push(p);
        };
        proto.Delete = function (i) { var p = find(i); for (var k = 0; k < list.length; k++) if (list[k] === p) { list.splice(k, 1); break; } };
        getter(proto, "Count", function () { return list.length; });
        proto.__list = list;
        proto.__enumItems = function () { return list.slice(0); };
        return c;
    }

    function Command() {
        this.ActiveConnection = null;
        this.CommandText = "";
        this.CommandType = 8;
        this.CommandTimeout = 30;
        this.Prepared = false;
        this.Name = "";
        this.Parameters = newParameters();
    }
    Command.prototype.CreateParameter = function (name, type, direction, size, value) {
        return new Parameter(name, type, direction, size, value);
    };
    Command.prototype.__connection = function () {
        var c = this.ActiveConnection;
        if (c instanceof Connection) return c;
        if (typeof c == "string" && c != "") {
            var opened = new Connection();
            opened.Open(c);
            this.ActiveConnection = opened;
            return opened;
        }
        throw aspError("ADODB.Command", "800a0e7d", "The connection cannot be used to perform this operation. " +
            "It is either closed or invalid in this context.");
    };
    Command.prototype.__sql = function () {
        var sql = text(this.CommandText);
        if (this.CommandType == 2) sql = "SELECT * FROM " + sql;
        if (this.CommandType == 4) throw aspError("ADODB.Command", "800a0cb3",
            "Stored procedures cannot be called in the preview.");
        return sql;
    };
    Command.prototype.__params = function (values) {
        var list = this.Parameters.__list, params = [];
        for (var i = 0; i < list.length; i++) {
            var v = values && i < values.length ? values[i] : list[i].Value;
            if (v instanceof Field) v = v.Value;
            if (v instanceof StringList || v instanceof RequestCookie) v = v.valueOf();
            params.push({ type: list[i].Type, value: isNothing(v) ? null : v });
        }
        return params;
    };
    Command.prototype.Execute = function (affected, values) {
        var conn = this.__connection();
        var sql = this.__sql();
        var r = conn.__run(sql, this.__params(values), "ADODB.Command");
        var rs = newRecordset();
        rs.__fill(r, 0, conn, sql);
        return rs;
    };

    function Field(rs, index, name, type) {
        this.__rs = rs;
        this.__index = index;
        this.Name = name;
        this.Type = type;
        this.Attributes = 0;
        this.Precision = 0;
        this.NumericScale = 0;
        this.DefinedSize = 0;
    }
    getter(Field.prototype, "Value", function () {
        var rs = this.__rs;
        if (!rs.__open) throw aspError("ADODB.Field", "800a0e78", CLOSED);
        rs.__more();
        if (rs.__pos < 0 || rs.__pos >= rs.__rows.length) throw aspError("ADODB.Field", "800a0bcd", NO_CURRENT);
        return rs.__rows[rs.__pos][this.__index];
    }, function () {
        throw aspError("ADODB.Field", "800a0cb3", "The preview's recordsets are read-only: " +
            "change data with an UPDATE or INSERT command.");
    });
    getter(Field.prototype, "ActualSize", function () {
        var v = this.Value;
        return isNothing(v) ? 0 : String(v).length;
    });
    Field.prototype.valueOf = function () { return this.Value; };
    Field.prototype.toString = function () { return String(this.Value); };

    function newFields(rs) {
        var proto = collectionPrototype();
        var c = callable(function (i) { return find(i); }, proto);
        function find(i) {
            var list = rs.__fields;
            if (typeof i == "number") {
                if (i < 0 || i >= list.length || i != Math.floor(i)) throw aspError("ADODB.Fields", "800a0cc1", NOT_FOUND);
                return list[i];
            }
            var key = text(i).toLowerCase();
            for (var k = 0; k < list.length; k++)
                if (list[k].__key == key) return list[k];
            throw aspError("ADODB.Fields", "800a0cc1", NOT_FOUND);
        }
        proto.Item = find;
        getter(proto, "Count", function () { return rs.__fields.length; });
        proto.__enumItems = function () { return rs.__fields.slice(0); };
        return c;
    }

    var recordsetProto = collectionPrototype();
    function newRecordset() {
        var rs = callable(function (i) { return rs.Fields.Item(i); }, recordsetProto);
        rs.__open = false;
        rs.__rows = [];
        rs.__fields = [];
        rs.__pos = 0;
        rs.__base = 0;
        rs.__stream = 0;
        rs.CursorLocation = 2;
        rs.CursorType = 0;
        rs.LockType = 1;
        rs.PageSize = 10;
        rs.CacheSize = 1;
        rs.MaxRecords = 0;
        rs.Source = "";
        rs.ActiveConnection = null;
        rs.Fields = newFields(rs);
        // "rs("Name") = v" changes a field: the preview's recordsets are read-only.
        return new ProxyType(rs, {
            set: function (t, name, value) {
                if (typeof name == "string" && t.__open && !hasOwn.call(t, name) && !(name in recordsetProto)) {
                    var key = name.toLowerCase();
                    for (var i = 0; i < t.__fields.length; i++) {
                        if (t.__fields[i].__key == key)
                            throw aspError("ADODB.Recordset", "800a0cb3", "The preview's recordsets are " +
                                "read-only: change data with an UPDATE or INSERT command.");
                    }
                }
                t[name] = value;
                return true;
            }
        });
    }
    recordsetProto.__fill = function (r, cursorType, conn, source) {
        this.__rows = r.rows || [];
        this.__fields = [];
        var columns = r.columns || [];
        for (var i = 0; i < columns.length; i++) {
            var f = new Field(this, i, columns[i], r.types[i]);
            f.__key = String(columns[i]).toLowerCase();
            this.__fields.push(f);
        }
        this.__open = columns.length > 0;
        this.__pos = 0;
        this.__base = 0;
        this.__stream = r.stream || 0;
        this.__forwardOnly = this.CursorLocation != 3 && cursorType == 0;
        this.CursorType = this.CursorLocation == 3 ? 3 : cursorType;
        this.ActiveConnection = conn;
        this.Source = source;
        this.__affected = r.affected;
    };
    recordsetProto.__check = function () {
        if (!this.__open) throw aspError("ADODB.Recordset", "800a0e78", CLOSED);
    };
    recordsetProto.Open = function (source, connection, cursorType, lockType, options) {
        if (this.__open) throw aspError("ADODB.Recordset", "800a0e79", OPEN);
        if (!isNothing(cursorType)) this.CursorType = Number(cursorType);
        if (!isNothing(lockType)) this.LockType = Number(lockType);
        var conn = isNothing(connection) ? this.ActiveConnection : connection;
        var forward = this.CursorLocation != 3 && this.CursorType == 0;
        var r, sql;
        if (source instanceof Command) {
            var command = source;
            if (!isNothing(connection)) command.ActiveConnection = connection;
            conn = command.__connection();
            sql = command.__sql();
            r = forward ? conn.__openRows(sql, command.__params(), "ADODB.Recordset")
                : conn.__run(sql, command.__params(), "ADODB.Recordset");
        } else {
            if (typeof conn == "string" && conn != "") {
                var opened = new Connection();
                opened.Open(conn);
                conn = opened;
            }
            if (!(conn instanceof Connection))
                throw aspError("ADODB.Recordset", "800a0e7d", "The connection cannot be used to perform this " +
                    "operation. It is either closed or invalid in this context.");
            sql = text(source);
            if (options == 2 || (options === undefined && /^\s*\[?[\w ]+\]?\s*$/.test(sql) && !/^\s*select\b/i.test(sql)))
                sql = "SELECT * FROM " + sql;
            r = forward ? conn.__openRows(sql, [], "ADODB.Recordset") : conn.__run(sql, [], "ADODB.Recordset");
        }
        this.__fill(r, this.CursorType, conn, sql);
        this.__limit();
    };
    // MaxRecords counts every row read, over all batches.
    recordsetProto.__limit = function () {
        if (this.MaxRecords <= 0 || this.__base + this.__rows.length < this.MaxRecords) return;
        this.__rows.length = Math.max(0, this.MaxRecords - this.__base);
        this.__endStream();
    };
    recordsetProto.__endStream = function () {
        if (this.__stream) native.closeRows(this.__stream);
        this.__stream = 0;
    };
    // Standing past the rows held, a streamed recordset reads its next batch
    // in their place.
    recordsetProto.__more = function () {
        while (this.__stream && this.__pos >= this.__rows.length) {
            var r = adoCheck(native.nextRows(this.__stream, ROW_BATCH), "ADODB.Recordset");
            if (r.rows.length < ROW_BATCH) this.__stream = 0;
            this.__base += this.__rows.length;
            this.__pos -= this.__rows.length;
            this.__rows = r.rows;
            this.__limit();
        }
    };
    // The rows not yet read, added to those held, for what needs them all.
    recordsetProto.__readAll = function () {
        while (this.__stream) {
            var r = adoCheck(native.nextRows(this.__stream, ROW_BATCH), "ADODB.Recordset");
            if (r.rows.length < ROW_BATCH) this.__stream = 0;
            this.__rows = this.__rows.concat(r.rows);
            this.__limit();
        }
    };
    recordsetProto.Close = function () {
        this.__check();
        this.__endStream();
        this.__open = false;
        this.__rows = [];
    };
    getter(recordsetProto, "State", function () { return this.__open ? 1 : 0; });
    getter(recordsetProto, "EOF", function () {
        this.__check();
        this.__more();
        return this.__pos >= this.__rows.length;
    });
    getter(recordsetProto, "BOF", function () { this.__check(); return this.__pos < 0 || this.__rows.length == 0; });
    getter(recordsetProto, "RecordCount", function () {
        this.__check();
        return this.__forwardOnly ? -1 : this.__rows.length;
    });
    getter(recordsetProto, "PageCount", function () {
        this.__check();
        if (this.__forwardOnly) return -1;
        return Math.ceil(this.__rows.length / Math.max(1, this.PageSize));
    });
    getter(recordsetProto, "AbsolutePosition", function () {
        this.__check();
        this.__more();
        if (this.__pos < 0) return -2;
        if (this.__pos >= this.__rows.length) return -3;
        return this.__base + this.__pos + 1;
    }, function (n) {
        this.__check();
        var p = Number(n);
        if (!(p >= 1 && p <= this.__rows.length)) throw aspError("ADODB.Recordset", "800a0bb9",
            "Arguments are of the wrong type, are out of acceptable range, or are in conflict with one another.");
        this.__seek(p - 1);
    });
    getter(recordsetProto, "AbsolutePage", function () {
        this.__check();
        if (this.__pos < 0) return -2;
        if (this.__pos >= this.__rows.length) return -3;
        return Math.floor(this.__pos / Math.max(1, this.PageSize)) + 1;
    }, function (n) {
        this.__check();
        var p = Number(n), size = Math.max(1, this.PageSize);
        if (!(p >= 1) || (p - 1) * size >= this.__rows.length) throw aspError("ADODB.Recordset", "800a0bb9",
            "Arguments are of the wrong type, are out of acceptable range, or are in conflict with one another.");
        this.__seek((p - 1) * size);
    });
    recordsetProto.__seek = function (p) {
        if (this.__forwardOnly && p < this.__pos)
            throw aspError("ADODB.Recordset", "80040e24", "Rowset does not support fetching backward.");
        this.__pos = p;
    };
    recordsetProto.MoveNext = function () {
        this.__check();
        this.__more();
        if (this.__pos >= this.__rows.length) throw aspError("ADODB.Recordset", "800a0bcd", NO_CURRENT);
        this.__pos++;
    };
    recordsetProto.MovePrevious = function () {
        this.__check();
        if (this.__forwardOnly) throw aspError("ADODB.Recordset", "80040e24", "Rowset does not support fetching backward.");
        if (this.__pos < 0) throw aspError("ADODB.Recordset", "800a0bcd", NO_CURRENT);
        this.__pos--;
    };
    recordsetProto.MoveFirst = function () {
        this.__check();
        if (this.__forwardOnly && this.__base + this.__pos > 0)
            throw aspError("ADODB.Recordset", "80040e24", "Rowset does not support fetching backward.");
        this.__pos = 0;
    };
    recordsetProto.MoveLast = function () {
        this.__check();
        if (this.__forwardOnly) throw aspError("ADODB.Recordset", "80040e24", "Rowset does not support fetching backward.");
        this.__pos = this.__rows.length - 1;
    };
    recordsetProto.Move = function (n) {
        this.__check();
        if (this.__stream && Number(n) > 0) this.__readAll();
        var p = this.__pos + Number(n);
        if (p < 0 || p > this.__rows.length) throw aspError("ADODB.Recordset", "800a0bcd", NO_CURRENT);
        this.__seek(p);
    };
    recordsetProto.GetString = function (format, rows, columnDelimiter, rowDelimiter, nullExpression) {
        this.__check();
        this.__readAll();
        var cd = isNothing(columnDelimiter) ? "\t" : text(columnDelimiter);
        var rd = isNothing(rowDelimiter) ? "\r" : text(rowDelimiter);
        var nx = isNothing(nullExpression) ? "" : text(nullExpression);
        var count = isNothing(rows) || rows < 0 ? this.__rows.length : Number(rows);
        var s = "";
        while (count-- > 0 && this.__pos < this.__rows.length) {
            var row = this.__rows[this.__pos++], cells = [];
            for (var i = 0; i < row.length; i++) cells.push(isNothing(row[i]) ? nx : String(row[i]));
            s += cells.join(cd) + rd;
        }
        return s;
    };
    recordsetProto.Requery = function () {
        this.__check();
        var conn = this.ActiveConnection, sql = this.Source;
        this.__open = false;
        this.Open(sql, conn);
    };

    // ------------------------------------------------------------ Scriptlet.TypeLib

    function TypeLib() {}
    getter(TypeLib.prototype, "Guid", function () { return native.newGuid(); });

    // ------------------------------------------------------------ JScript's own

    function Enumerator(collection) {
        if (isNothing(collection)) {
            this.__items = [];
        } else if (typeof collection.__enumItems == "function") {
            this.__items = collection.__enumItems();
        } else {
            throw aspError("JScript", "800a01bd", "Object doesn't support this action");
        }
        this.__at = 0;
    }
    Enumerator.prototype.atEnd = function () { return this.__at >= this.__items.length; };
    Enumerator.prototype.item = function () { return this.__items[this.__at]; };
    Enumerator.prototype.moveNext = function () { if (this.__at < this.__items.length) this.__at++; };
    Enumerator.prototype.moveFirst = function () { this.__at = 0; };

    function ActiveXObject(progId) {
        return Server.CreateObject(progId);
    }

    defineProperty(Date.prototype, "getVarDate", {
        value: function () { return new Date(this.getTime()); }, writable: true, configurable: true
    });
    // JScript's errors carry a number and a description beside the message.
    getter(Error.prototype, "description", function () {
        return hasOwn.call(this, "__description") ? this.__description : this.message;
    }, function (v) { defineProperty(this, "__description", { value: v, writable: true, configurable: true }); });
    getter(Error.prototype, "number", function () {
        return hasOwn.call(this, "__number") ? this.__number : undefined;
    }, function (v) { defineProperty(this, "__number", { value: v, writable: true, configurable: true }); });

    var globals = {
        Request: Request, Response: Response, Server: Server, Session: Session, Application: Application,
        Enumerator: Enumerator, ActiveXObject: ActiveXObject,
        ScriptEngine: function () { return "JScript"; },
        ScriptEngineMajorVersion: function () { return 5; },
        ScriptEngineMinorVersion: function () { return 8; },
        ScriptEngineBuildVersion: function () { return 18702; }
    };
    for (var name in globals)
        defineProperty(global, name, { value: globals[name], writable: false, enumerable: false, configurable: false });

    // ------------------------------------------------------------ what JScript lacks

    var missing = {
        global: ["JSON", "Promise", "Map", "Set", "WeakMap", "WeakSet", "WeakRef", "FinalizationRegistry",
            "Symbol", "Proxy", "Reflect", "ArrayBuffer", "SharedArrayBuffer", "DataView", "Atomics",
            "Int8Array", "Uint8Array", "Uint8ClampedArray", "Int16Array", "Uint16Array", "Int32Array",
            "Uint32Array", "Float32Array", "Float64Array", "BigInt", "BigInt64Array", "BigUint64Array",
            "globalThis", "Intl", "print", "gc", "console", "qsTr", "qsTranslate", "QT_TR_NOOP",
            "QT_TRANSLATE_NOOP", "qsTrId", "QT_TRID_NOOP", "Qt", "AggregateError"],
        Object: ["keys", "create", "defineProperty", "defineProperties", "getOwnPropertyNames",
            "getOwnPropertyDescriptor", "getOwnPropertyDescriptors", "getPrototypeOf", "setPrototypeOf",
            "freeze", "isFrozen", "seal", "isSealed", "preventExtensions", "isExtensible", "assign", "is",
            "entries", "values", "fromEntries", "getOwnPropertySymbols"],
        "Object.prototype": ["__defineGetter__", "__defineSetter__", "__lookupGetter__", "__lookupSetter__",
            "__proto__"],
        Array: ["isArray", "from", "of"],
        "Array.prototype": ["indexOf", "lastIndexOf", "every", "some", "forEach", "map", "filter", "reduce",
            "reduceRight", "find", "findIndex", "findLast", "findLastIndex", "fill", "copyWithin", "includes",
            "keys", "values", "entries", "flat", "flatMap", "at"],
        String: ["fromCodePoint", "raw"],
        "String.prototype": ["trim", "trimLeft", "trimRight", "trimStart", "trimEnd", "padStart", "padEnd",
            "includes", "startsWith", "endsWith", "repeat", "codePointAt", "normalize", "at", "matchAll",
            "replaceAll", "arg"],
        Date: ["now"],
        "Date.prototype": ["toISOString", "toJSON"],
        "Function.prototype": ["bind"],
        Number: ["isNaN", "isFinite", "isInteger", "isSafeInteger", "parseFloat", "parseInt", "EPSILON",
            "MAX_SAFE_INTEGER", "MIN_SAFE_INTEGER"],
        Math: ["sign", "trunc", "cbrt", "log10", "log2", "log1p", "expm1", "hypot", "imul", "fround", "clz32",
            "sinh", "cosh", "tanh", "asinh", "acosh", "atanh"]
    };
    var owners = {
        global: global, Object: Object, "Object.prototype": Object.prototype, Array: Array,
        "Array.prototype": Array.prototype, String: String, "String.prototype": String.prototype, Date: Date,
        "Date.prototype": Date.prototype, "Function.prototype": Function.prototype, Number: Number, Math: Math
    };
    var symbolIterator = Symbol.iterator;
    delete Array.prototype[symbolIterator];
    delete String.prototype[symbolIterator];
    for (var owner in missing) {
        var names = missing[owner];
        for (var k = 0; k < names.length; k++) delete owners[owner][names[k]];
    }

    var baseline = {};
    var names0 = ownNames(global);
    for (var g = 0; g < names0.length; g++) baseline[names0[g]] = true;

    // ------------------------------------------------------------ the host's side

    return {
        // info: the request, as the host hands it over.
        begin: function (info) {
            req = {
                query: new Pairs(info.query),
                form: new Pairs(info.form),
                cookies: new Pairs(info.cookies),
                variables: new Pairs(info.variables),
                rawQuery: info.rawQuery,
                rawForm: info.rawForm,
                totalBytes: info.totalBytes
            };
            out = {
                body: [], headers: [], cookies: {}, status: "200 OK", contentType: "text/html",
                charset: "", codePage: info.codePage, lcid: 2048, cacheControl: "private", expires: null,
                expiresAbsolute: null, buffer: true, flushed: false, ended: false, gone: false, location: "",
                scriptTimeout: info.scriptTimeout
            };
            session = info.session ? {
                id: info.session.id, timeout: info.session.timeout, values: info.session.values, abandoned: false
            } : null;
            pages = [info.path];
        },
        // Runs a page's function; its uncaught exception, whatever was thrown.
        run: function (page) {
            try {
                page();
                return null;
            } catch (e) {
                return { error: e };
            }
        },
        enter: function (path) { pages.push(path); },
        leave: function () { pages.pop(); },
        finish: function () {
            var result = responseState();
            result.body = out.body.join("");
            result.session = session ? { timeout: session.timeout, values: session.values, abandoned: session.abandoned } : null;
            req = out = session = null;
            pages = [];
            return result;
        },
        // Removes what a page left on the global object.
        cleanup: function () {
            var now = ownNames(global);
            for (var i = 0; i < now.length; i++)
                if (!baseline[now[i]]) delete global[now[i]];
        }
    };
})
