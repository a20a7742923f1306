#pragma once

#include <QByteArray>

// The status line of an answer: "HTTP/1.1 404 Not Found\r\n", for the statuses the remote view gives.
class HttpStatus
{
public:
    static QByteArray line(int status)
    {
        const char* reason = "Error";
        switch (status) {
        case 200:
            reason = "OK";
            break;
        case 202:
            reason = "Accepted";
            break;
        case 206:
            reason = "Partial Content";
            break;
        case 400:
            reason = "Bad Request";
            break;
        case 401:
            reason = "Unauthorized";
            break;
        case 403:
            reason = "Forbidden";
            break;
        case 404:
            reason = "Not Found";
            break;
        case 405:
            reason = "Method Not Allowed";
            break;
        case 411:
            reason = "Length Required";
            break;
        case 413:
            reason = "Payload Too Large";
            break;
        case 416:
            reason = "Range Not Satisfiable";
            break;
        case 503:
            reason = "Service Unavailable";
            break;
        case 505:
            reason = "HTTP Version Not Supported";
            break;
        default:
            break;
        }
        return "HTTP/1.1 " + QByteArray::number(status) + ' ' + reason + "\r\n";
    }
};
